// Times what a medium's own look costs the menu at start-up, step by step,
// with the menu's own code: the one key read before the splash comes up,
// the first splash picture made ready for it, and the picture and the two
// caption icons read once the splash is up. Each step runs RUNS times (the
// file system's cache warm after the first); prints the median of each in
// milliseconds, at this display's scale, and before them the first splash
// picture's first run alone: the process's first use of the imaging
// component, as in the menu.
//
// Usage: look_bench RUNS MEDIUM_FOLDER
#include "catalog/look.h"
#include "menu/artwork.h"
#include "platform/gdi.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Time(int runs, const std::function<void()>& step) {
    LARGE_INTEGER frequency, from, to;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QueryPerformanceCounter(&from);
        step();
        QueryPerformanceCounter(&to);
        times.push_back(double(to.QuadPart - from.QuadPart) * 1000 / double(frequency.QuadPart));
    }
    return Median(times);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::atoi(argv[1]) < 1) {
        std::fprintf(stderr, "usage: look_bench RUNS MEDIUM_FOLDER\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    const std::string folder = argv[2];
    const std::string descriptor = look::RootDescriptor(folder);
    const int dpi = artwork::SystemDpi();

    std::vector<std::string> splash;
    const double key = Time(runs, [&] { splash = look::SplashPaths(folder, look::ReadSplash(descriptor)); });
    const auto firstSplash = [&] {
        CBitmap bitmap;
        artwork::LoadMediumPicture(splash[0], artwork::SplashPictureSize(dpi), bitmap);
    };
    const double cold = splash.empty() ? 0 : Time(1, firstSplash);
    const double first = splash.empty() ? 0 : Time(runs, firstSplash);
    look::Look own;
    const double keys = Time(runs, [&] { own = look::Read(descriptor); });
    const double picture = Time(runs, [&] {
        CBitmap bitmap;
        artwork::LoadMenuPicture(dpi, own.picture.empty() ? "" : look::PathOf(folder, own.picture), bitmap);
    });
    const double icons = Time(runs, [&] {
        const std::string path = own.windowIcon.empty() ? "" : look::PathOf(folder, own.windowIcon);
        CIcon big, small;
        big.Attach(artwork::LoadWindowIcon(path, GetSystemMetrics(SM_CXICON)));
        small.Attach(artwork::LoadWindowIcon(path, GetSystemMetrics(SM_CXSMICON)));
    });
    std::printf("%.2f %.2f %.2f %.2f %.2f %.2f %d\n", key, cold, first, keys, picture, icons, dpi);
    return 0;
}
