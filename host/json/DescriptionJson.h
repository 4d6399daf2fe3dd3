#pragma once

#include <string>

namespace ofxhost {

class Plugin;

// What the host received when it described an effect in a context, as the JSON document
// `halden-render --describe` prints. Its keys are a contract scripts rely on:
//   plugin: identifier, version ("major.minor"), label, grouping, description, contexts,
//           pixelDepths, supportsTiles, cudaRender, cudaStream, overlayInteract
//   clips:  [{name, optional, isMask, components, supportsTiles}]
//   params: [{name, type, label, hint, default, min, max, displayMin, displayMax, increment,
//             digits, parent, options, secret, enabled}]
//   pages:  [{name, children}]
// in the order the plug-in defined them; properties a parameter does not have are null.
class DescriptionJson {
public:
    // The plug-in must have been described in that context.
    static std::string write(Plugin& plugin, const std::string& context);
};

} // namespace ofxhost
