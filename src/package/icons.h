// Reading an icon file and assigning its images to the runtime's ten icon
// slots (identifiers 1 to 10: 16, 24, 32, 48 and 64 pixels square, each at
// 8 bits per pixel or fewer and at more than 8 bits).
#pragma once

#include <array>
#include <optional>
#include <string>

namespace talvex {

struct IconImage {
  size_t offset = 0;
  size_t size = 0;
};

struct IconSlots {
  // The image for each identifier 1..10 (index 0..9), when one was assigned.
  std::array<std::optional<IconImage>, 10> slots;
  // The last 16×16 image of the file, written to every slot first.
  std::optional<IconImage> default_image;

  // The image identifier `id` (1..10) ends up with: its own, else the
  // default image that is written to every slot first.
  std::optional<IconImage> effective(int id) const {
    return slots[id - 1] ? slots[id - 1] : default_image;
  }
};

// Parses the icon file's directory (at most its first ten entries) and
// assigns the images to slots; nothing when the header cannot be read.
std::optional<IconSlots> assign_icon_slots(const std::string& icon_file);

}  // namespace talvex
