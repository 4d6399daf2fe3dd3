#pragma once

// Names of the test plug-in that hosts and tests address it by.
namespace testplugin {

constexpr const char* kIdentifier = "org.halden.testplugin";
constexpr unsigned int kVersionMajor = 1;
constexpr unsigned int kVersionMinor = 2;
constexpr const char* kLabel = "Halden Test Effect";
constexpr const char* kGrouping = "Halden Tests";
constexpr const char* kDescription = "Scales the source by a gain";

constexpr const char* kSourceClip = "Source";
constexpr const char* kMaskClip = "Mask";
constexpr const char* kOutputClip = "Output";

constexpr const char* kGain = "gain";
constexpr const char* kOffset = "offset";
constexpr const char* kInvert = "invert";
constexpr const char* kMode = "mode";
constexpr const char* kTint = "tint";
constexpr const char* kTintAlpha = "tintAlpha";
constexpr const char* kCenter = "center";
constexpr const char* kPoint3 = "point3";
constexpr const char* kNote = "note";
constexpr const char* kReset = "reset";
constexpr const char* kCurve = "curve";
constexpr const char* kFailRender = "fail_render";
// The note that makes render write a parameter, a breach strict hosts report.
constexpr const char* kWriteInRender = "write in render";
constexpr const char* kAdvancedGroup = "Advanced";
constexpr const char* kControlsPage = "Controls";

} // namespace testplugin
