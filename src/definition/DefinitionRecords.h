#pragma once

#include <string>
#include <vector>

// Plain records of a parsed effect definition. Filled once by XMLEffectDefinition, read-only after.

struct InputDef {
    std::string name;
    std::string label;
    bool optional = false;
    std::string borderMode = "clamp";
    // What the kernels see when the input is not connected: "error", "black", "white" or
    // "transparent".
    std::string noInputMode = "error";
};

// Numeric code of a no-input mode as the kernels receive it: error 0, black 1, white 2,
// transparent 3; unknown text behaves as white.
int noInputModeCode(const std::string& mode);

struct ResourceDef {
    std::string name;
    std::string file;
    int channels = 4;
    std::string sampler = "linear";
    std::string wrap = "mirror";
};

struct OptionDef {
    std::string value;
    std::string label;
};

struct ComponentDef {
    std::string name;
    double defaultValue = 0.0;
    double min = 0.0;
    double max = 1.0;
    double increment = 0.01;
};

struct ParameterDef {
    std::string name;
    std::string type;
    std::string label;
    std::string hint;
    // Numeric types and choice.
    double defaultValue = 0.0;
    double min = 0.0;
    double max = 1.0;
    double displayMin = 0.0;
    double displayMax = 1.0;
    double increment = 0.1;
    // Curve.
    std::string curveDefaultShape = "linear";
    int curveBackground = 0;
    std::vector<OptionDef> options;
    // Vector types: color, vec2, vec3, vec4.
    std::vector<ComponentDef> components;
    // String and filepath.
    std::string textDefault;
    bool mustExist = false;
    bool boolDefault = false;
    // "none", "width", "height" or "xy".
    std::string resDependent = "none";
};

struct IdentityCondition {
    std::string parameterName;
    std::string op;
    double value = 0.0;
};

struct UIColumnDef {
    std::string name;
    std::string tooltip;
    std::vector<std::string> parameters;
};

struct UIGroupDef {
    std::string name;
    std::string tooltip;
    bool open = true;
    std::vector<UIColumnDef> columns;
    std::vector<std::string> parameters;
};

enum class PageItemKind { Group = 0, TopLevel = 1 };

struct PageItem {
    PageItemKind kind = PageItemKind::Group;
    std::string groupName; // empty for a top-level item
};

struct PageDef {
    std::string name;
    std::vector<PageItem> items;
};

struct KernelDef {
    std::string platform; // "cuda", "opencl" or "metal"
    std::string file;
    int executions = 1;
};

struct ProcessDef {
    std::string name = "unnamed_process";
    std::vector<KernelDef> kernels;
    std::string executions;     // as written; empty means once
    std::string initialization; // as written; empty means none
};

enum class OverlayType {
    Point = 0,
    Radius = 1,
    Scale2D = 2,
    VSlider = 3,
    Vector = 4,
    Ellipse = 5,
    Line = 6,
    Qualifier = 7
};

enum class OverlayCoordinates { UV = 0, Centered = 1, CenteredAspect = 2 };

struct OverlayColor {
    float r = 1.0f;
    float g = 1.0f;
    float b = 1.0f;
    bool given = false;
};

// "#rrggbb", "#rgb", "r,g,b" or a colour name (any letter case). Anything unreadable is white.
OverlayColor parseOverlayColor(const std::string& text);

struct OverlayDef {
    OverlayType type = OverlayType::Point;
    std::string param;
    std::string style = "crosshair";
    std::string center;
    float fixedX = 0.5f;
    std::string visibleWhen;
    OverlayColor color;
    std::string label;
    std::string direction;
    std::string magnitude;
    float fixedMagnitude = 0.1f;
    std::string angle;
    std::vector<OverlayDef> children;
};
