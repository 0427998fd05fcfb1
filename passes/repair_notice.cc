#include "passes/repair_notice.h"

#include "common/print_message.h"

void ShownAsText(std::string_view kept, std::string* shown) {
  shown->assign(kept);
  if (shown->size() >= 2 && (*shown)[shown->size() - 2] == '\r' &&
      shown->back() == '\n') {
    shown->erase(shown->size() - 2, 1);
  }
}

void AnnounceRepair(const std::string& shown) {
  PrintMessageWithText("Attempting to fix invalid XML ", shown);
}
