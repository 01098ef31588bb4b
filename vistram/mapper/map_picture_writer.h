// The map as a picture without a window (batch mode): the window library
// installs the writer that draws SVG and PNG pictures; the model only calls it.
#pragma once
#include <string>

struct StatData;

// Writes the whole map to `path` (SVG or PNG by its extension) with the map
// font of `fontPoints` points at 96 dots per inch. False with `error` set.
using MapPictureWriter = bool (*)(const std::string& path, const StatData& stat, int fontPoints, std::string& error);
void SetMapPictureWriter(MapPictureWriter writer);
// The installed writer, or null.
MapPictureWriter CurrentMapPictureWriter();
