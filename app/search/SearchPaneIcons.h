#pragma once

class ImageList;

// The search toolbar's images: "findfile", "stop", "hide" and "show".
namespace SearchPaneIcons {
void fill(ImageList *list);
} // namespace SearchPaneIcons
