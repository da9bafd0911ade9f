// The mouse buttons, as mouse events of controls and of the tray icon name them.
#pragma once

namespace vl {

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

}  // namespace vl
