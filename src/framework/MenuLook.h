// What a picture of a menu shows, as one number: a platform menu that is kept rather than
// rebuilt for every showing (the one a panel shows for the tray icon) is built again only
// when this changes.
#pragma once

#include "framework/MenuModel.h"

#include <cstdint>

namespace zevaver {

namespace fw {

// Changes with every caption, check mark, radio mark, greyed, hidden or column-breaking
// item of the tree below `root` and with its shape; the same for trees that look the same.
[[nodiscard]] uint64_t MenuLook(const MenuItem& root) noexcept;

} // namespace fw

} // namespace zevaver
