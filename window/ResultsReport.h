#pragma once

#include <string>

class CBenchDoc;

// The results of a run as plain text lines, for the standard output of an
// unattended run: one line per transfer size of the range, the rates in the
// window's unit and in IO/s, "-" where nothing was measured.
std::string FormatResultsReport(const CBenchDoc& doc, int nUnits);
