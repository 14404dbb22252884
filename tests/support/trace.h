// Reading apitrace traces of the real program: the calls it made itself, in
// order, as apitrace dump writes them, without call numbers or return values.
#ifndef LIGHTMAP_TESTS_TRACE_H
#define LIGHTMAP_TESTS_TRACE_H

#include <string>
#include <vector>

// The program's own calls: GLX calls other than entry-point lookups, calls that
// apitrace marks as fake, and those listed in tests/fixtures/toolkit.calls
// (what GLUT does by itself) are dropped.
std::vector<std::string> programCalls(const std::string& traceFile);

// A hand-written fixture: one call per line; blank lines and # comments skipped.
std::vector<std::string> readCallFixture(const std::string& name);

std::string listCalls(const std::vector<std::string>& calls);

#endif
