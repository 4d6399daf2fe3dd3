// Writes the effect's help page (one HTML file) from its definition: what every control does,
// in the order of the pages and groups the host shows.
//   halden-help-page <definition.xml> <index.html>
#include "definition/XMLEffectDefinition.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string range(const ParameterDef& p) {
    if (p.type == "float" || p.type == "double" || p.type == "int") {
        return "default " + number(p.defaultValue) + ", " + number(p.min) + " to " + number(p.max);
    }
    if (p.type == "bool") {
        return std::string("default ") + (p.boolDefault ? "on" : "off");
    }
    if (p.type == "choice") {
        std::string text = "options: ";
        for (std::size_t i = 0; i < p.options.size(); ++i) {
            text += (i ? ", " : "") + p.options[i].label;
        }
        return text;
    }
    if (!p.components.empty()) {
        std::string text = "default (";
        for (std::size_t i = 0; i < p.components.size(); ++i) {
            text += (i ? ", " : "") + number(p.components[i].defaultValue);
        }
        return text + ")";
    }
    return std::string();
}

void control(std::ostringstream& html, const ParameterDef& p) {
    html << "<dt>" << escaped(p.label) << " <code>" << escaped(p.name) << "</code></dt>\n<dd>"
         << escaped(p.hint) << " <span class=\"range\">" << escaped(range(p)) << "</span></dd>\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: halden-help-page <definition.xml> <index.html>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    XMLEffectDefinition definition;
    if (!in || !definition.parseEmbedded(text.str().c_str())) {
        std::fprintf(stderr, "halden-help-page: cannot read the definition %s\n", argv[1]);
        return 1;
    }
    std::map<std::string, const UIGroupDef*> groups;
    for (const UIGroupDef& group : definition.uiGroups()) {
        groups[group.name] = &group;
    }

    std::ostringstream html;
    html << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>"
         << escaped(definition.name()) << "</title>\n<style>\n"
         << "body{font-family:sans-serif;max-width:52em;margin:2em auto;padding:0 1em;"
            "background:#16181d;color:#ddd}h1,h2,h3{color:#f5c66a}code{color:#8ab4f8}"
            "dt{margin-top:.8em;font-weight:bold}.range{color:#999;font-size:90%}\n"
         << "</style>\n</head>\n<body>\n<h1>" << escaped(definition.name()) << "</h1>\n<p>"
         << escaped(definition.description()) << "</p>\n";
    for (const PageDef& page : definition.pages()) {
        html << "<h2>" << escaped(page.name) << "</h2>\n";
        for (const PageItem& item : page.items) {
            if (item.kind == PageItemKind::TopLevel) {
                html << "<dl>\n";
                for (const std::string& name : definition.topLevelParameters()) {
                    control(html, definition.getParameter(name));
                }
                html << "</dl>\n";
                continue;
            }
            const auto found = groups.find(item.groupName);
            if (found == groups.end()) {
                continue;
            }
            html << "<h3>" << escaped(found->second->name) << "</h3>\n<dl>\n";
            for (const UIColumnDef& column : found->second->columns) {
                for (const std::string& name : column.parameters) {
                    control(html, definition.getParameter(name));
                }
            }
            for (const std::string& name : found->second->parameters) {
                control(html, definition.getParameter(name));
            }
            html << "</dl>\n";
        }
    }
    html << "<h2>Settings</h2>\n<dl>\n"
         << "<dt>Factory Presets</dt><dd>Looks that ship with the effect; choosing one applies "
            "it at once.</dd>\n"
         << "<dt>My Presets</dt><dd>Your own presets. Type a name in <em>Save As</em> and press "
            "<em>Save</em>; choose one to apply it, <em>Delete</em> removes the selected one, "
            "<em>&gt;&gt; Load Defaults &lt;&lt;</em> resets every control.</dd>\n"
         << "<dt>Blend</dt><dd>Mixes the effect with the original image (0 = original, 1 = full "
            "effect).</dd>\n</dl>\n</body>\n</html>\n";

    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << html.str();
    if (!out) {
        std::fprintf(stderr, "halden-help-page: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
