// Lengths as the store counts them: bytes of the text in GBK. ASCII takes
// one byte, "€" one (0x80), every other character GBK holds two.

// True for a character the pages let into a field: no control character,
// nothing beyond the Basic Multilingual Plane (no emoji), which GBK cannot
// hold and the exchange file could not carry.
export function storable(ch) {
  const code = ch.codePointAt(0);
  if (code < 0x20 || (code >= 0x7f && code < 0xa0)) return false;
  if (code > 0xffff) return false;
  if (code >= 0xd800 && code <= 0xdfff) return false;  // a lone surrogate
  return true;
}

export function charBytes(ch) {
  const code = ch.codePointAt(0);
  return code < 0x80 || code === 0x20ac ? 1 : 2;
}

export function gbkBytes(text) {
  let bytes = 0;
  for (const ch of text) bytes += charBytes(ch);
  return bytes;
}

// The longest start of `text` that takes at most `limit` bytes.
export function cutToBytes(text, limit) {
  let bytes = 0;
  let kept = "";
  for (const ch of text) {
    bytes += charBytes(ch);
    if (bytes > limit) break;
    kept += ch;
  }
  return kept;
}
