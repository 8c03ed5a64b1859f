#include "platform/handles.h"

#include <commctrl.h>

namespace tsly::win {

void ImageListDestroyer::operator()(HIMAGELIST list) const { ImageList_Destroy(list); }

}  // namespace tsly::win
