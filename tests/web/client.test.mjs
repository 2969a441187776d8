// The pages' client against the real `rawlet serve`, which prints to loopback printers: what
// a page hears, and what reaches the printer.
import assert from "node:assert/strict";
import { execFileSync, spawn } from "node:child_process";
import { mkdtempSync, openSync, readFileSync, readdirSync, rmSync, writeFileSync } from "node:fs";
import { createServer } from "node:net";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { after, before, test } from "node:test";
import { fileURLToPath } from "node:url";

import { Bridge, BridgeUnreachable, NoSuchPrinter, NotPrinted, Refused } from "../../web/rawlet.js";

const fakePrinter = fileURLToPath(new URL("../../scripts/lib/fake-printer", import.meta.url));
const shop = "https://pos.example.com";
const work = mkdtempSync(join(tmpdir(), "rawlet-web-"));
const till = join(work, "till");
let serve;
let address;

function freePort() {
  return new Promise((resolve) => {
    const server = createServer().listen(0, "127.0.0.1", () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

// A page of ORIGIN: node's fetch sends no Origin of its own, so it is sent as a browser would.
function pageOf(origin, at = address) {
  const withOrigin = (url, init) => fetch(url, { ...init, headers: { ...init.headers, Origin: origin } });
  return new Bridge(at, { fetch: withOrigin });
}

const jobsIn = (folder) => readdirSync(folder).filter((name) => /^job-\d+\.bin$/.test(name));
// What the printer received last: its files are job-1.bin, job-2.bin, ...
const lastJob = () => readFileSync(join(till, `job-${jobsIn(till).length}.bin`));

before(async () => {
  const tillPort = execFileSync(fakePrinter, ["start", "normal", till]).toString().trim();
  // Names of their own: the shared scheduler may hold queues named as other tests name theirs.
  writeFileSync(join(work, "printers.conf"),
                `WebTill socket://127.0.0.1:${tillPort}\nWebGone socket://127.0.0.1:${await freePort()}\n`);
  writeFileSync(join(work, "bridge.conf"), "");
  const port = await freePort();
  address = `http://127.0.0.1:${port}`;
  serve = spawn(process.env.RAWLET, ["serve", "--listen", `127.0.0.1:${port}`, "--allow", `${shop}=WebTill,WebGone,WebNowhere`], {
    env: { ...process.env, RAWLET_PRINTERS: join(work, "printers.conf"), RAWLET_BRIDGE_CONF: join(work, "bridge.conf"),
           RAWLET_ANSI_CODEPAGE: "1252", RAWLET_OEM_CODEPAGE: "437" },
    stdio: ["ignore", "ignore", openSync(join(work, "log"), "w")],
  });
  for (let tries = 0; ; tries++) {
    try {
      await pageOf(shop).printers();
      return; // listening
    } catch (error) {
      if (!(error instanceof BridgeUnreachable) || tries === 100) throw error;
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
  }
});

after(() => {
  serve?.kill();
  execFileSync(fakePrinter, ["stop", till]);
  rmSync(work, { recursive: true, force: true });
});

test("a receipt's bytes reach the printer unchanged", async () => {
  const receipt = new Uint8Array([0x1b, 0x45, ...Array.from({ length: 256 }, (_, byte) => byte), 0x0c]);
  const result = await pageOf(shop).print("WebTill", receipt, { title: "Till 1" });
  assert.deepEqual(result, { outcome: "delivered", job: "WebTill", bytes: receipt.length });
  assert.deepEqual(lastJob(), Buffer.from(receipt));
});

test("text arrives in the ANSI code page", async () => {
  await pageOf(shop).printText("WebTill", "CAFÉ 2,50 €\r\n");
  const cp1252 = Buffer.from("CAF\xc9 2,50 \x80\r\n", "latin1");
  assert.deepEqual(lastJob(), cp1252);
});

test("the printers and a status, without their devices", async () => {
  const page = pageOf(shop);
  assert.deepEqual(await page.printers(), [{ name: "WebTill", kind: "direct" }, { name: "WebGone", kind: "direct" }]);
  const status = await page.status("WebTill");
  assert.equal(status.ready, true);
  assert.doesNotMatch(JSON.stringify(status), /socket:/);
});

test("an origin not allowed is refused and prints nothing", async () => {
  const held = jobsIn(till);
  const refusal = await pageOf("https://evil.example").print("WebTill", new Uint8Array([0x41])).catch((error) => error);
  assert.ok(refusal instanceof Refused, String(refusal));
  assert.equal(refusal.status, 403);
  assert.match(refusal.reason, /'https:\/\/evil\.example' is not allowed/);
  assert.deepEqual(jobsIn(till), held);
});

test("an unknown printer is no such printer", async () => {
  await assert.rejects(pageOf(shop).printText("WebNowhere", "A"), (error) => error instanceof NoSuchPrinter && error.status === 404);
  await assert.rejects(pageOf(shop).status("WebNowhere"), NoSuchPrinter);
});

test("a printer that refuses connections has not printed", async () => {
  await assert.rejects(pageOf(shop).printText("WebGone", "A"),
                       (error) => error instanceof NotPrinted && error.reason === "WebGone: connection refused" && error.number > 0);
});

test("a bridge that is not running cannot be reached", async () => {
  const nowhere = pageOf(shop, `http://127.0.0.1:${await freePort()}`);
  await assert.rejects(nowhere.print("WebTill", new Uint8Array([0x41])), BridgeUnreachable);
  await assert.rejects(nowhere.printers(), BridgeUnreachable);
});

test("bad input is refused before anything is sent", async () => {
  const page = pageOf(shop);
  await assert.rejects(page.print("WebTill", "text"), TypeError);
  await assert.rejects(page.print("WebTill", new Uint8Array()), TypeError);
  await assert.rejects(page.print("WebTill", new Uint8Array([0x41]), { wiat: true }), TypeError);
});
