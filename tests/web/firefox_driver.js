// Drives Debian's Firefox ESR over WebDriver BiDi (puppeteer-core) for the Python web tests:
// one JSON command a line on stdin, one JSON answer a line on stdout.
//   {"op": "get", "url": U}                      load U
//   {"op": "eval", "script": S, "args": [...]}   run S as a function body (its `arguments`)
//   {"op": "click", "id": ID}, {"op": "key", "key": K}
// Usage: NODE_PATH=PUPPETEER_MODULES node firefox_driver.js WIDTH HEIGHT, with a display:
// Firefox draws WebGL only in a window.
"use strict";
const readline = require("node:readline");
const puppeteer = require("puppeteer-core");

async function main() {
  const [width, height] = process.argv.slice(2).map(Number);
  const browser = await puppeteer.launch({
    browser: "firefox",
    executablePath: "/usr/bin/firefox-esr",
    headless: false,
    // Firefox blocks llvmpipe's WebGL unless forced; the show's sound may start without a click.
    extraPrefsFirefox: { "webgl.force-enabled": true, "media.autoplay.default": 0 },
  });
  const page = (await browser.pages())[0] || await browser.newPage();
  await page.setViewport({ width, height });
  const errors = [];
  page.on("pageerror", error => errors.push(String(error)));

  const commands = {
    get: async ({ url }) => { errors.length = 0; await page.goto(url); },
    eval: ({ script, args }) =>
      page.evaluate((body, values) => new Function(body).apply(null, values), script, args || []),
    click: ({ id }) => page.click("#" + id),
    key: ({ key }) => page.keyboard.press(key),
    errors: () => errors.slice(),
  };

  const lines = readline.createInterface({ input: process.stdin });
  for await (const line of lines) {
    const command = JSON.parse(line);
    let answer;
    try {
      answer = { value: await commands[command.op](command) ?? null };
    } catch (error) {
      answer = { error: String(error) };
    }
    process.stdout.write(JSON.stringify(answer) + "\n");
  }
  await browser.close();
}

main().catch(error => { console.error(error); process.exit(1); });
