#pragma once

#include <QSize>

#include <map>

class QWidget;

// Creates the form's controls on pForm from the template, in tab order, each
// named by its decimal id, placed by converting dialog units with the form
// font's metrics. Returns the form's size in pixels; ids land in controls
// (the id-less static labels are not listed).
QSize BuildBenchForm(QWidget* pForm, std::map<int, QWidget*>& controls);
