// A page's client of `rawlet serve`, the bridge on loopback through which the pages of the
// origins a user allowed print raw. Each call answers what became of the request; a job that
// did not print, or may have, is an error the page can catch.

export const DEFAULT_ADDRESS = "http://127.0.0.1:9187";

/** Any failure the bridge reports, or the failure to reach it. */
export class RawletError extends Error {
  constructor(message, { status = 0, number = 0, reason = "" } = {}) {
    super(message);
    this.status = status;
    this.number = number;
    this.reason = reason;
  }
}

/** The job will not print: send it again once its reason is dealt with. */
export class NotPrinted extends RawletError {}

/** The job may print: look at it (`job`) before sending it again. */
export class OutcomeUnknown extends RawletError {
  constructor(message, details = {}) {
    super(message, details);
    this.job = details.job ?? "";
  }
}

export class Refused extends RawletError {}
export class NoSuchPrinter extends RawletError {}
export class TooLarge extends RawletError {}
export class BridgeUnreachable extends RawletError {}

// Named in the source rather than by the class, so that a page's minifier keeps the names.
const errors = { RawletError, NotPrinted, OutcomeUnknown, Refused, NoSuchPrinter, TooLarge, BridgeUnreachable };
for (const [name, kind] of Object.entries(errors)) kind.prototype.name = name;

const refusals = { 403: Refused, 404: NoSuchPrinter, 413: TooLarge };
const jobFlags = ["utf8", "translate", "wait"];

export class Bridge {
  #address;
  #fetch;

  constructor(address = DEFAULT_ADDRESS, { fetch = globalThis.fetch } = {}) {
    this.#address = new URL(address);
    if (!["http:", "https:"].includes(this.#address.protocol))
      throw new TypeError(`the bridge's address must be http: or https:, not '${address}'`);
    this.#fetch = fetch;
  }

  get address() {
    return this.#address.origin;
  }

  async printers() {
    const { status, answer } = await this.#request("/v1/printers");
    if (status !== 200 || !Array.isArray(answer?.printers)) throw refusal(status, answer);
    return answer.printers;
  }

  async status(name) {
    const { status, answer } = await this.#request(`${printerPath(name)}/status`);
    if (status !== 200 || answer === null) throw refusal(status, answer);
    return answer;
  }

  async print(name, bytes, options = {}) {
    const path = `${printerPath(name)}/jobs${jobQuery(options)}`;
    const { status, answer } = await this.#request(path, {
      method: "POST",
      headers: { "Content-Type": "application/octet-stream" },
      body: checkedBytes(bytes),
    });
    return jobResult(status, answer);
  }

  // The bridge converts the text to the ANSI code page: a page cannot know the printer's.
  async printText(name, text, options = {}) {
    if (typeof text !== "string") throw new TypeError(`the text to print must be a string, not ${typeof text}`);
    return this.print(name, new TextEncoder().encode(text), { ...options, utf8: true });
  }

  async #request(path, init = {}) {
    const send = this.#fetch; // called alone: a browser's fetch refuses any other `this`
    let response;
    try {
      response = await send(new URL(path, this.#address), init);
    } catch (error) {
      // The browser tells a page no more than this: the bridge not running, the user's
      // Local Network Access permission refused, or an answer this origin may not read.
      const reason = `the bridge at ${this.address} cannot be reached: ${error.message}`;
      throw Object.assign(new BridgeUnreachable(reason, { reason }), { cause: error });
    }
    return { status: response.status, answer: await jsonOf(response) };
  }
}

async function jsonOf(response) {
  try {
    const answer = JSON.parse(await response.text());
    return typeof answer === "object" ? answer : null;
  } catch {
    return null; // not the bridge's answer: its status decides
  }
}

function printerPath(name) {
  if (typeof name !== "string" || name === "") throw new TypeError("a printer's name must be a non-empty string");
  return `/v1/printers/${encodeURIComponent(name)}`;
}

const isBuffer = (bytes) => bytes instanceof ArrayBuffer || ArrayBuffer.isView(bytes);

function checkedBytes(bytes) {
  const size = bytes instanceof Blob ? bytes.size : isBuffer(bytes) ? bytes.byteLength : -1;
  if (size < 0) throw new TypeError("the bytes to print must be a Uint8Array, an ArrayBuffer or a Blob");
  if (size === 0) throw new TypeError("nothing to print: the bytes are empty");
  return bytes;
}

function jobQuery({ title, ...flags }) {
  const query = new URLSearchParams();
  if (title !== undefined) {
    if (typeof title !== "string") throw new TypeError("a job's title must be a string");
    query.set("title", title);
  }
  for (const [flag, value] of Object.entries(flags)) {
    if (!jobFlags.includes(flag)) throw new TypeError(`unknown print option '${flag}'`);
    if (typeof value !== "boolean") throw new TypeError(`the print option '${flag}' must be true or false`);
    if (value) query.set(flag, "1");
  }
  const text = query.toString();
  return text ? `?${text}` : "";
}

function details(status, answer) {
  const reason = answer?.reason || answer?.refused || `the bridge answered HTTP ${status}`;
  return { status, number: answer?.error ?? 0, reason, job: answer?.job ?? "" };
}

function refusal(status, answer) {
  const found = details(status, answer);
  return new (refusals[status] ?? RawletError)(found.reason, found);
}

// Only the bridge's word that the printer took the bytes is success. An answer that may
// follow a job that started, and any answer the client does not know, is unknown: the page
// must never send again what may print.
function jobResult(status, answer) {
  const outcome = answer?.outcome;
  if (status === 200 && (outcome === "printed" || outcome === "delivered"))
    return { outcome, job: answer.job, bytes: answer.bytes };
  const found = details(status, answer);
  if (status === 404) throw new NoSuchPrinter(found.reason, found);
  if (outcome === "not-printed") throw new NotPrinted(found.reason, found);
  if (status === 200 || status >= 500 || outcome !== undefined)
    throw new OutcomeUnknown(found.reason, found);
  throw refusal(status, answer);
}
