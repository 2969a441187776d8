#!/usr/bin/env node
// A 1 KiB receipt from a page's client (web/rawlet.js, in node) through `rawlet serve`,
// side by side run by run with `rawlet print` of the same bytes to the same device, each
// timed until the device holds it. Writes seconds, one a line, into OUT/bridge-{job,print}.txt.
//
// Usage: bridge-bench.mjs OUT RUNS DEVICE_DIR PRINTER BRIDGE_ADDRESS ORIGIN RAWLET_COMMAND
import { spawnSync } from "node:child_process";
import { randomBytes } from "node:crypto";
import { readdirSync, rmSync, statSync, writeFileSync } from "node:fs";
import { join } from "node:path";
import { performance } from "node:perf_hooks";

import { Bridge } from "../web/rawlet.js";

const [out, runs, device, printer, address, origin, rawlet] = process.argv.slice(2);
const receipt = randomBytes(1024);
const receiptFile = join(out, "bridge-receipt.bin");
writeFileSync(receiptFile, receipt);
// A page's Origin, which node's fetch does not send of its own.
const page = new Bridge(address, {
  fetch: (url, init) => fetch(url, { ...init, headers: { ...init.headers, Origin: origin } }),
});

const jobs = () => readdirSync(device).filter((name) => /^job-\d+\.bin$/.test(name));
const clear = () => jobs().forEach((name) => rmSync(join(device, name)));
const holds = () => jobs().some((name) => statSync(join(device, name)).size === receipt.length);

async function untilHeld(action) {
  clear();
  const start = performance.now();
  await action();
  for (const deadline = start + 60_000; !holds(); ) {
    if (performance.now() > deadline) throw new Error(`${device} never held the receipt`);
    await new Promise((resolve) => setImmediate(resolve));
  }
  return (performance.now() - start) / 1000;
}

function run(...args) {
  const result = spawnSync(rawlet, args, { stdio: ["ignore", "ignore", "inherit"] });
  if (result.status !== 0) throw new Error(`rawlet ${args.join(" ")} failed (${result.status})`);
}

async function viaBridge() {
  const { outcome } = await page.print(printer, receipt);
  if (outcome !== "delivered") throw new Error(`the bridge said ${outcome}`);
}

const times = { job: [], print: [] };
await viaBridge(); // the first connection and the module's first use, not measured
for (let i = 0; i < Number(runs); i++) {
  times.job.push(await untilHeld(viaBridge));
  times.print.push(await untilHeld(() => run("print", "-d", printer, receiptFile)));
}
clear();
for (const [name, list] of Object.entries(times)) writeFileSync(join(out, `bridge-${name}.txt`), list.join("\n") + "\n");
