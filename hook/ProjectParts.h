// The program's parts this library shares with it, by their short names.
#pragma once

namespace zevaver {
namespace fw {}
namespace hookprotocol {}
namespace watch {}
} // namespace zevaver

namespace vivuvav {

namespace fw = zevaver::fw;
namespace hookprotocol = zevaver::hookprotocol;
namespace watch = zevaver::watch;

} // namespace vivuvav
