#pragma once

#include <string>

// The plain rules of the image export.

// The proposed file name: the document title without a final ".bmk"
// (case-sensitive), then ".jpg".
std::string DefaultExportName(const std::string& strTitle);

struct CaptureRect
{
    int left, top, right, bottom;
};

// The frame's rectangle cut to the screen: from 0,0 to the virtual screen's
// width and height. An empty result (right <= left) means nothing is visible.
CaptureRect ClampCaptureRect(CaptureRect rc, int nScreenWidth, int nScreenHeight);
