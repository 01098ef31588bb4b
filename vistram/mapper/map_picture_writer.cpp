#include "vistram/mapper/map_picture_writer.h"

namespace {
MapPictureWriter g_writer = nullptr;
}

void SetMapPictureWriter(MapPictureWriter writer) { g_writer = writer; }
MapPictureWriter CurrentMapPictureWriter() { return g_writer; }
