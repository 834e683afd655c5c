// Types of glimmer.js, the transition engine for JavaScript.

/** One row of the settings table: a field of the 424-byte record and how the plug-in's pages show it. */
export interface SettingsField {
  /** The name glimmer's --set and the page's address take: "gravity", "delayMap.source", "bands". */
  name: string;
  /** Byte offset of the little-endian int32 field in the record. */
  offset: number;
  /** -1 for the whole field, else the bit of a flag field. */
  bit: number;
  defaultValue: number;
  minimum: number;
  maximum: number;
  /** A slider spans minimum..sliderMaximum; typing reaches maximum. */
  sliderMaximum: number;
  /** A bit of a flag field that the table also lists whole. */
  alias: boolean;
  meaning: string;
  /** "Movement", "Nature", "Life" or "Sources". */
  page: string;
  /** The group box; for a map, the parameter ("Moving X"). */
  group: string;
  caption: string;
  /** The control's tooltip; "" where the plug-in has none. */
  tooltip: string;
  /** Shown on the pages (not the Hold bits, not a word shown by its bits). */
  panel: boolean;
  panelOrder: number;
  /** Names of the values 0, 1, ... of a list; empty unless a list. */
  listNames: string[];
  /** Tooltips of the list's values where each has its own (the Order box's buttons); else empty. */
  listTooltips: string[];
  /** The page's preset button beside the slider, where it has one. */
  preset: { label: string; value: number } | null;
}

export interface SettingsPreset {
  name: string;
  title: string;
  description: string;
  settings: Uint8Array;
}

export interface RenderRequest {
  /** Image A, RGBA, top row first, width * height * 4 bytes. */
  a: Uint8Array | Uint8ClampedArray;
  /** Image B, the same way. */
  b: Uint8Array | Uint8ClampedArray;
  width: number;
  height: number;
  /** The 424-byte record. */
  settings: Uint8Array;
  /** Frame of the transition, from 0. */
  position: number;
  /** Length of the transition in frames. */
  total: number;
}

/** Frames of one size kept in the module between calls. */
export interface FrameRenderer {
  readonly width: number;
  readonly height: number;
  setA(rgba: Uint8Array | Uint8ClampedArray): void;
  setB(rgba: Uint8Array | Uint8ClampedArray): void;
  /** The frame, RGBA top row first. */
  frame(settings: Uint8Array, position: number, total: number): Uint8Array;
  /** The same without a copy: valid until the next call into the module. */
  frameView(settings: Uint8Array, position: number, total: number): Uint8Array;
  /** The Sources page's 128 x 96 grey picture of map 0 ("Moving X"), 1 ("Moving Y") or 2 ("Delay"), RGBA. */
  sourceThumbnail(settings: Uint8Array, parameter: 0 | 1 | 2): Uint8Array;
  delete(): void;
}

export interface Glimmer {
  readonly fields: readonly SettingsField[];
  readonly presets: readonly SettingsPreset[];
  readonly widestFrame: number;
  /** A fresh record holding the defaults. */
  defaultSettings(): Uint8Array;
  /** A .qvx file's record, or the plug-in's message: "Error reading file!", "Not a Scatterweave file!". */
  readSettingsFile(bytes: Uint8Array | ArrayBuffer): { settings: Uint8Array } | { error: string };
  /** The 456 bytes of a .qvx file, as `glimmer settings --out` writes them. */
  writeSettingsFile(settings: Uint8Array): Uint8Array;
  /** One "FIELD=VALUE" as glimmer --set takes it, or its refusal. */
  assign(settings: Uint8Array, assignment: string): { settings: Uint8Array } | { error: string };
  /** "0:01:05:07": hours:minutes:seconds:frames. */
  formatTimecode(frames: number, framesPerSecond: number): string;
  /** The plug-in's 54-character readout of the length and the position, two lines. */
  timeReadout(total: number, position: number, framesPerSecond: number): string;
  /** The built-in pair: 'a' the sunset, 'b' the mosaic, RGBA top row first. */
  samplePicture(which: 'a' | 'b', width: number, height: number): Uint8Array;
  createRenderer(width: number, height: number): FrameRenderer;
  /** One frame, RGBA top row first, equal to `glimmer render` of the same pictures. */
  render(request: RenderRequest): Uint8Array;
}

export function createGlimmer(): Promise<Glimmer>;
export const settingsRecordSize: 424;
export const settingsFileBytes: 456;
