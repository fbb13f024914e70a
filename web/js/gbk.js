// Lengths as the store counts them: bytes of the text in GBK. ASCII takes
// one byte, "€" one (0x80), every other character GBK holds two.

let repertoire = null;

// Every character of GBK's two-byte part, found once by decoding each
// byte pair with the browser's own GBK decoder. Its private-use mappings
// are left out: the store's converter refuses them.
function gbkRepertoire() {
  if (repertoire) return repertoire;
  repertoire = new Set(["€"]);
  const decoder = new TextDecoder("gbk", {fatal: true});
  const pair = new Uint8Array(2);
  for (let lead = 0x81; lead <= 0xfe; lead++) {
    for (let trail = 0x40; trail <= 0xfe; trail++) {
      if (trail === 0x7f) continue;
      pair[0] = lead;
      pair[1] = trail;
      try {
        const ch = decoder.decode(pair);
        const code = ch.codePointAt(0);
        if (ch.length === 1 && !(code >= 0xe000 && code <= 0xf8ff)) repertoire.add(ch);
      } catch {
        // No character at this pair.
      }
    }
  }
  return repertoire;
}

// True for a character the pages let into a field: no control character,
// and only what GBK holds (no emoji, no Hangul), as the exchange file must
// carry every value.
export function storable(ch) {
  const code = ch.codePointAt(0);
  if (code < 0x20 || code === 0x7f) return false;
  if (code < 0x80) return true;
  return gbkRepertoire().has(ch);
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
