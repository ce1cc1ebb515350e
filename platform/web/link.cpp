#include "platform/link.h"

#include <emscripten.h>

// The page's side of the link, Module.lien: `role` ('hote' or 'invite'),
// `envoyer(Uint8Array)`, `recus` (the messages come, in order), `perdu` (gone
// for good) and `dire(text)`. Without it there is no link.
// clang-format off
EM_JS(int, PageLinkSide, (), {
  var lien = Module.lien;
  if (!lien) return 0;
  return lien.role === 'hote' ? 1 : lien.role === 'invite' ? 2 : 0;
});
EM_JS(void, PageLinkSend, (const std::uint8_t* data, int size), {
  if (Module.lien) Module.lien.envoyer(HEAPU8.slice(data, data + size));
});
EM_JS(int, PageLinkReceive, (std::uint8_t* data, int capacity), {
  var lien = Module.lien;
  if (!lien) return -1;
  var recus = lien.recus || [];
  if (!recus.length) return lien.perdu ? -1 : 0;
  var message = recus.shift();
  if (!(message instanceof Uint8Array)) message = new Uint8Array(message);
  HEAPU8.set(message.subarray(0, capacity), data);
  return message.length;
});
EM_JS(void, PageLinkSay, (const char* sentence), {
  var text = "";
  for (var p = sentence; HEAPU8[p]; ++p) text += String.fromCharCode(HEAPU8[p]);
  if (Module.lien && Module.lien.dire) Module.lien.dire(text); else err(text);
});
// clang-format on

// The page chose the side when it made the link.
void LinkAskSide(LinkSide /*side*/) {}

LinkSide LinkRole() { return static_cast<LinkSide>(PageLinkSide()); }

void LinkSend(const std::uint8_t* data, int size) {
  if (size >= 0 && size <= kLinkMessageMax) PageLinkSend(data, size);
}

int LinkReceive(std::uint8_t* data, int capacity) { return PageLinkReceive(data, capacity); }

void LinkSay(const char* sentence) { PageLinkSay(sentence); }
