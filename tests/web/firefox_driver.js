// Drives Debian's Firefox ESR over WebDriver BiDi (puppeteer-core) for the Python web tests: one
// JSON command a line on stdin, {"url": U} to load U or {"script": S, "args": [...]} to run S as
// a function body, and one JSON answer a line on stdout, {"value": V} or {"error": E}.
// Usage: NODE_PATH=PUPPETEER_MODULES node firefox_driver.js WIDTH HEIGHT, with a display.
"use strict";
const readline = require("node:readline");
const puppeteer = require("puppeteer-core");

async function main() {
  const [width, height] = process.argv.slice(2).map(Number);
  // Firefox draws WebGL on llvmpipe only when forced; the track may start without a click.
  const browser = await puppeteer.launch({
    browser: "firefox", executablePath: "/usr/bin/firefox-esr", headless: false,
    extraPrefsFirefox: { "webgl.force-enabled": true, "media.autoplay.default": 0 },
  });
  const page = (await browser.pages())[0];
  await page.setViewport({ width, height });
  const run = ({ url, script, args }) => url !== undefined ? page.goto(url) :
    page.evaluate((body, values) => new Function(body).apply(null, values), script, args);
  for await (const line of readline.createInterface({ input: process.stdin })) {
    const answer = await run(JSON.parse(line)).then(value => ({ value: value ?? null }),
                                                    error => ({ error: String(error) }));
    process.stdout.write(JSON.stringify(answer) + "\n");
  }
  await browser.close();
}

main().catch(error => { console.error(error); process.exit(1); });
