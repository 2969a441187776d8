// Stands in for the system-information tool: proves that it was started by writing its own
// path to the file named by RAWLET_MARKER_FILE, then ends.
#include <cstdio>
#include <windows.h>

int main()
{
    char file[MAX_PATH] = {};
    char self[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("RAWLET_MARKER_FILE", file, sizeof file))
        return 2;
    GetModuleFileNameA(nullptr, self, sizeof self);
    FILE* out = std::fopen(file, "wb");
    if (!out)
        return 1;
    std::fprintf(out, "%s\n", self);
    return std::fclose(out) == 0 ? 0 : 1;
}
