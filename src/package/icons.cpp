#include "package/icons.h"

namespace talvex {

namespace {

uint32_t read_le(const std::string& b, size_t at, size_t width) {
  uint32_t v = 0;
  for (size_t i = 0; i < width; ++i)
    v |= static_cast<uint32_t>(static_cast<unsigned char>(b[at + i])) << (8 * i);
  return v;
}

// The slot index (0-based) of the "8 bits or fewer" identifier of a size.
int slot_of_size(unsigned size) {
  switch (size) {
    case 16:
      return 0;
    case 24:
      return 2;
    case 32:
      return 4;
    case 48:
      return 6;
    case 64:
      return 8;
    default:
      return -1;
  }
}

}  // namespace

std::optional<IconSlots> assign_icon_slots(const std::string& file) {
  if (file.size() < 6) return std::nullopt;
  size_t count = read_le(file, 4, 2);
  if (count > 10) count = 10;
  IconSlots result;
  for (size_t i = 0; i < count; ++i) {
    size_t at = 6 + 16 * i;
    if (at + 16 > file.size()) break;
    unsigned width = static_cast<unsigned char>(file[at]);
    unsigned height = static_cast<unsigned char>(file[at + 1]);
    unsigned bits = read_le(file, at + 6, 2);
    IconImage image{read_le(file, at + 12, 4), read_le(file, at + 8, 4)};
    int slot = slot_of_size(width);
    if (slot < 0 || width != height) continue;
    result.slots[slot + (bits < 9 ? 0 : 1)] = image;
    if (width == 16) result.default_image = image;
  }
  for (int slot = 0; slot < 10; slot += 2) {
    if (!result.slots[slot]) result.slots[slot] = result.slots[slot + 1];
    if (!result.slots[slot + 1]) result.slots[slot + 1] = result.slots[slot];
  }
  return result;
}

}  // namespace talvex
