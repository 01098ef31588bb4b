// The images of the commands: one drawing per command, in the program's
// resources (icons/*.svg), the same at every scale.
#pragma once
#include <QIcon>

// The image of command `id`, or a null icon when it has none.
QIcon CommandIcon(int id);
// The resource name (":/icons/NAME.svg") of command `id`'s image, or empty.
const char* CommandIconName(int id);
