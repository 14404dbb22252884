// The page's tests, in Debian's Chromium (tools/page.mjs). CTest runs each test
// file as a test of its own (tests/CMakeLists.txt), one worker each.
import { defineConfig } from '@playwright/test';
import { chromiumOptions } from '../../tools/page.mjs';

export default defineConfig({
  testDir: '.',
  testMatch: '*.test.mjs',
  outputDir: process.env.LIGHTMAP_PAGE_OUTPUT || 'test-results',
  workers: 1,
  timeout: 30000,
  reporter: [['list']],
  use: { launchOptions: chromiumOptions, viewport: { width: 1280, height: 900 } },
});
