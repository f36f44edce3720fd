// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The three browser engines the page is tested in, each from Debian and each
// behind one small interface, so that one test runs in all of them:
//   chromium  Chromium, headless, driven by puppeteer-core over the DevTools
//             protocol
//   firefox   Firefox ESR, driven by puppeteer-core over WebDriver BiDi, with
//             a window on the X display (headless, it offers no WebGL 2 here)
//   webkit    WebKitGTK's MiniBrowser, driven by selenium-webdriver through
//             WebKitWebDriver (classic WebDriver), with a window on the X
//             display
// An engine gives tabs: open(url) loads a page at 800 x 700 CSS pixels and a
// pixel ratio of 1; a tab evaluates a function in the page (which may return
// a promise), presses a key, clicks an element, loads another address,
// reloads and closes, and has the console errors and uncaught exceptions seen so far (problems; null
// where the driver cannot see them).
// MORPH_WEB_ENGINES (e.g. "firefox webkit") picks some of them.
import { spawn } from 'node:child_process';
import { createServer } from 'node:net';
import { launchChromium } from '../../scripts/lib/web.mjs';

export const kEngines = (process.env.MORPH_WEB_ENGINES || 'chromium firefox webkit').split(/\s+/).filter(Boolean);

const kWidth = 800;
const kHeight = 700;

// A tab of puppeteer's (Chromium's or Firefox's).
function puppeteerTab(page, context, problems) {
  return {
    problems,
    evaluate: (fn, ...args) => page.evaluate(fn, ...args),
    press: (key) => page.keyboard.press(key),
    click: (selector) => page.click(selector),
    goto: (url) => page.goto(url, { waitUntil: 'load' }),
    reload: () => page.reload({ waitUntil: 'load' }),
    close: () => (context ? context.close() : page.close()),
  };
}

async function startPuppeteer(name) {
  let browser;
  if (name === 'chromium') {
    browser = await launchChromium();
  } else {
    if (!process.env.DISPLAY) throw new Error('Firefox needs an X display for WebGL 2: run the tests on Xvfb');
    const { default: puppeteer } = await import('puppeteer-core');
    browser = await puppeteer.launch({
      browser: 'firefox',
      executablePath: process.env.MORPH_FIREFOX || '/usr/bin/firefox-esr',
      headless: false,
      // Nothing from the network: no updates, telemetry or first-run pages.
      extraPrefsFirefox: { 'app.update.enabled': false, 'datareporting.policy.dataSubmissionEnabled': false,
        'toolkit.telemetry.enabled': false, 'browser.shell.checkDefaultBrowser': false },
    });
  }
  return {
    name,
    version: await browser.version(),
    // In Chromium each tab has a browser context of its own (a new tab beside
    // a service worker whose origin went away fails to open); in Firefox a
    // tab of a user context of its own opens in a window that takes no
    // clicks, so there tabs share the default context.
    async open(url) {
      const context = name === 'chromium' ? await browser.createBrowserContext() : null;
      const page = await (context ?? browser).newPage();
      const problems = [];
      page.on('console', (message) => {
        if (message.type() === 'error') problems.push(`console error: ${message.text()}`);
      });
      page.on('pageerror', (error) => problems.push(`uncaught: ${error.message}`));
      await page.setViewport({ width: kWidth, height: kHeight, deviceScaleFactor: 1 });
      await page.goto(url, { waitUntil: 'load' });
      return puppeteerTab(page, context, problems);
    },
    close: () => browser.close(),
  };
}

// A free TCP port on 127.0.0.1, for WebKitWebDriver.
function freePort() {
  return new Promise((resolve, reject) => {
    const server = createServer();
    server.once('error', reject);
    server.listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

async function startWebKit() {
  if (!process.env.DISPLAY) throw new Error('WebKitGTK needs an X display: run the tests on Xvfb');
  const { Builder, By, Key } = await import('selenium-webdriver');
  const port = await freePort();
  const driverProcess = spawn(process.env.MORPH_WEBKIT_DRIVER || 'WebKitWebDriver', [`--port=${port}`],
    { stdio: 'ignore' });
  const exited = new Promise((resolve) => driverProcess.once('exit', resolve));
  let driver;
  for (let attempt = 0; !driver; attempt++) {
    try {
      driver = await new Builder().usingServer(`http://127.0.0.1:${port}`).withCapabilities({
        browserName: 'MiniBrowser',
        'webkitgtk:browserOptions': {
          binary: process.env.MORPH_MINIBROWSER || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser',
          args: ['--automation'],
        },
      }).build();
    } catch (error) {
      // The driver takes a moment to listen.
      if (attempt >= 50) {
        driverProcess.kill();
        throw error;
      }
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
  }
  await driver.manage().window().setRect({ width: kWidth, height: kHeight });
  const keys = { Escape: Key.ESCAPE, Enter: Key.ENTER, Tab: Key.TAB };
  return {
    name: 'webkit',
    version: (await driver.getCapabilities()).get('browserVersion'),
    // WebDriver drives one window: a tab is that window, until the next
    // open() loads another page into it.
    async open(url) {
      await driver.get(url);
      return {
        problems: null,  // WebDriver classic reports no console messages
        async evaluate(fn, ...args) {
          const result = await driver.executeAsyncScript(`const done = arguments[arguments.length - 1];
            Promise.resolve().then(() => (${fn})(...Array.from(arguments).slice(0, -1)))
              .then((value) => done({ value }), (error) => done({ error: String(error) }));`, ...args);
          if (result.error) throw new Error(result.error);
          return result.value;
        },
        press: (key) => driver.actions().sendKeys(keys[key] ?? key).perform(),
        click: async (selector) => (await driver.findElement(By.css(selector))).click(),
        goto: (address) => driver.get(address),
        reload: () => driver.navigate().refresh(),
        close: () => driver.get('about:blank'),
      };
    },
    async close() {
      await driver.quit().catch(() => {});
      driverProcess.kill();
      await exited;
    },
  };
}

// Starts the engine NAME; resolves to { name, version, open(url), close() }.
export function startEngine(name) {
  return name === 'webkit' ? startWebKit() : startPuppeteer(name);
}
