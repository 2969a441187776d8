/** Where `rawlet serve` listens unless told otherwise. */
export declare const DEFAULT_ADDRESS: "http://127.0.0.1:9187";

/** A printer this page's origin may use. */
export interface PrinterEntry {
  name: string;
  /** A scheduler's queue, or a printer the bridge reaches directly. */
  kind: "queue" | "direct";
}

/** A printer's status, as one printer of `rawlet status --json`, without its device. */
export interface PrinterStatus {
  name: string;
  ready: boolean;
  answers: boolean;
  state: string;
  reasons: string[];
  accepting_jobs: boolean;
  queued_jobs: number | null;
  message: string;
  sources: string[];
  unanswered: string[];
  manufacturer: string;
  model: string;
  command_set: string;
  elapsed_ms: number;
}

export interface PrintOptions {
  /** The job's name in the queue. */
  title?: string;
  /** The bytes are UTF-8 text, for the bridge to send in the ANSI code page. */
  utf8?: boolean;
  /** Translate the text from the ANSI to the OEM (DOS) code page. */
  translate?: boolean;
  /** Resolve once the printer has printed the job (the bridge waits at most 60 s). */
  wait?: boolean;
}

/** A job the printer took: `printed` when it was waited for, `delivered` otherwise. */
export interface JobResult {
  outcome: "printed" | "delivered";
  /** The job: its queue's job name, or the printer's name for a direct printer. */
  job: string;
  /** How many bytes the printer received. */
  bytes: number;
}

export interface ErrorDetails {
  status?: number;
  number?: number;
  reason?: string;
  job?: string;
}

/** Any failure the bridge reports, or the failure to reach it. */
export declare class RawletError extends Error {
  constructor(message: string, details?: ErrorDetails);
  /** The HTTP status of the bridge's answer; 0 when there was none. */
  readonly status: number;
  /** The error's number (see the bridge's docs/errors.md); 0 when none. */
  readonly number: number;
  /** Why, in the bridge's words. */
  readonly reason: string;
}

/** The job will not print: send it again once its reason is dealt with. */
export declare class NotPrinted extends RawletError {}

/** The job may print, or may have printed: look at `job` before sending it again. */
export declare class OutcomeUnknown extends RawletError {
  readonly job: string;
}

/** 403: the origin, the `Host` or the printer is not allowed. Nothing printed. */
export declare class Refused extends RawletError {}

/** 404: no printer of that name answers, or none is allowed by that name. Nothing printed. */
export declare class NoSuchPrinter extends RawletError {}

/** 413: the job is over the bridge's limit (4 MiB). Nothing printed. */
export declare class TooLarge extends RawletError {}

/**
 * The request never got an answer: the bridge is not running, the user refused the
 * browser's Local Network Access permission, or the page's origin is not allowed (the
 * browser hides the bridge's refusal from such a page). A job can only have printed
 * if the bridge was reached and ended while it printed.
 */
export declare class BridgeUnreachable extends RawletError {}

/** A page's connection to `rawlet serve`. */
export declare class Bridge {
  /**
   * @param address the bridge's address, by default {@link DEFAULT_ADDRESS}
   * @param options.fetch the fetch to send requests with, by default the global one
   * @throws TypeError when the address is not an http: or https: URL
   */
  constructor(address?: string, options?: { fetch?: typeof fetch });

  /** The bridge's origin, as `http://127.0.0.1:9187`. */
  readonly address: string;

  /** The printers this page's origin may use. */
  printers(): Promise<PrinterEntry[]>;

  /** A printer's status; rejects with {@link NoSuchPrinter} when it does not answer. */
  status(name: string): Promise<PrinterStatus>;

  /**
   * Prints the bytes, unchanged unless `utf8` or `translate` say otherwise, as one job.
   * Resolves once the printer took them (or printed them, with `wait`); rejects with
   * {@link NotPrinted}, {@link OutcomeUnknown}, {@link Refused}, {@link NoSuchPrinter},
   * {@link TooLarge}, {@link BridgeUnreachable} or {@link RawletError}.
   * @throws TypeError for bytes of another type, no bytes, or an unknown option
   */
  print(name: string, bytes: Uint8Array | ArrayBuffer | ArrayBufferView | Blob, options?: PrintOptions): Promise<JobResult>;

  /** Prints text, which the bridge converts to the ANSI code page; as {@link Bridge.print}. */
  printText(name: string, text: string, options?: Omit<PrintOptions, "utf8">): Promise<JobResult>;
}
