#pragma once

// What the runtime's own units reach through the handle table. Private to the runtime.

#include <QPixmap>
#include <memory>

#include "handles.h"

namespace rt::detail {

struct ToolbarObject;
struct FrameChrome;

// Called by the frame when it makes its toolbar: gives its window and its object their handles.
void registerToolbar(const std::shared_ptr<ToolbarObject>& tb);
// The toolbar object `id` and the chrome of its frame while that frame is open, or null.
FrameChrome* toolbarChrome(long id);
ToolbarObject* toolbarObject(long id);

// A live bitmap's pixels, or null.
QPixmap* bitmap(long handle);
// The pixels of the bitmap selected into the context `dc`, or null.
QPixmap* selectedBitmap(long dc);
// A toolbar keeping a bitmap holds it and lets go of it; a handle of another kind is ignored.
void holdObject(long handle);
void releaseObject(long handle);

}  // namespace rt::detail
