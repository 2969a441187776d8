#pragma once

// Files the tests make in a folder of their own under the prefix's temporary folder.

#include <string>

namespace rawlet::test {

void SetMarkerProgram(std::string path);

// A fresh folder `name` in the tests' own folder, emptied of what an earlier test left.
std::string Folder(const std::string& name);

// A copy of the marker program at `path`; false if it could not be made.
bool PlaceMarker(const std::string& path);

bool FileExists(const std::string& path);
// The whole content of a file, empty when there is none.
std::string ReadFile(const std::string& path);

} // namespace rawlet::test
