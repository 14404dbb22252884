// apitrace dump parsing for the call-order tests.
#include <gtest/gtest.h> // before Xlib, whose None macro breaks it

#include "trace.h"

#include "demo.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace {

// "name(args) = result // note" -> "name(args)": cut where the argument list
// closes, minding quotes so that strings may hold parentheses.
std::string callWithoutResult(const std::string& text)
{
    int depth = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' && (i == 0 || text[i - 1] != '\\'))
            quoted = !quoted;
        if (quoted)
            continue;
        if (c == '(')
            ++depth;
        if (c == ')' && --depth == 0)
            return text.substr(0, i + 1);
    }
    return text;
}

std::string callName(const std::string& call)
{
    return call.substr(0, call.find('('));
}

bool isToolkitCall(const std::string& call, const std::vector<std::string>& toolkit)
{
    const std::string name = callName(call);
    if (name.rfind("glX", 0) == 0 && name.rfind("glXGetProcAddress", 0) != 0)
        return true;
    return std::any_of(toolkit.begin(), toolkit.end(),
                       [&](const std::string& entry) { return entry == call || entry == name; });
}

} // namespace

std::vector<std::string> readCallFixture(const std::string& name)
{
    std::istringstream in(readFile(sourcePath("tests/fixtures/" + name)));
    std::vector<std::string> calls;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != '#')
            calls.push_back(line);
    }
    EXPECT_FALSE(calls.empty()) << "empty or missing fixture " << name;
    return calls;
}

std::vector<std::string> programCalls(const std::string& traceFile)
{
    ChildOptions options;
    options.argv = {"apitrace", "dump", "-v", "--color=never", traceFile};
    const ToolRun dump = runTool(options, 30.0);
    EXPECT_EQ(dump.status, 0) << "apitrace dump " << dump.state << ": " << dump.err;

    const std::vector<std::string> toolkit = readCallFixture("toolkit.calls");
    std::istringstream in(dump.out);
    std::vector<std::string> calls;
    for (std::string line; std::getline(in, line);) {
        const std::size_t space = line.find(' ');
        if (line.empty() || !std::isdigit(static_cast<unsigned char>(line[0])) ||
            space == std::string::npos || line.find("// fake") != std::string::npos)
            continue;
        const std::string call = callWithoutResult(line.substr(space + 1));
        if (!isToolkitCall(call, toolkit))
            calls.push_back(call);
    }
    return calls;
}

std::string listCalls(const std::vector<std::string>& calls)
{
    std::string text;
    for (std::size_t i = 0; i < calls.size(); ++i)
        text += "  " + std::to_string(i) + ": " + calls[i] + "\n";
    return text;
}
