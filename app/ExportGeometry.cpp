#include "app/ExportGeometry.h"

#include <algorithm>

std::string DefaultExportName(const std::string& strTitle)
{
    static const std::string bmk = ".bmk";
    std::string name = strTitle;
    if (name.size() >= bmk.size() && name.compare(name.size() - bmk.size(), bmk.size(), bmk) == 0)
        name.erase(name.size() - bmk.size());
    return name + ".jpg";
}

CaptureRect ClampCaptureRect(CaptureRect rc, int nScreenWidth, int nScreenHeight)
{
    rc.left = std::max(rc.left, 0);
    rc.top = std::max(rc.top, 0);
    rc.right = std::min(rc.right, nScreenWidth);
    rc.bottom = std::min(rc.bottom, nScreenHeight);
    return rc;
}
