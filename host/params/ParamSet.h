#pragma once

#include "host/core/HandleTag.h"
#include "host/params/Param.h"

#include "ofx/ofxParam.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ofxhost {

class ImageEffect;

// The parameters of an effect descriptor or instance, in definition order, behind an
// OfxParamSetHandle.
class ParamSet {
public:
    explicit ParamSet(ImageEffect& owner) : owner_(owner) {}
    ParamSet(const ParamSet&) = delete;
    ParamSet& operator=(const ParamSet&) = delete;

    static ParamSet* fromHandle(OfxParamSetHandle handle);
    OfxParamSetHandle handle() { return reinterpret_cast<OfxParamSetHandle>(this); }
    ImageEffect& owner() { return owner_; }

    // Throws HostError: kOfxStatErrExists for a taken name, kOfxStatErrUnknown for an unknown
    // type.
    Param& define(const std::string& type, const std::string& name);
    // Makes an instance of every descriptor, in the same order.
    void instantiateFrom(ParamSet& descriptors);

    Param* find(const std::string& name);
    Param& get(const std::string& name);
    const std::vector<std::unique_ptr<Param>>& params() const { return params_; }

    // Edit blocks group the plug-in's changes (one undo step in an interactive host). beginEdit
    // returns the blocks open before it; endEdit is false without an open block.
    int beginEdit(const std::string& name);
    bool endEdit();
    int editDepth() const;
    // Every block ever begun, in order.
    std::vector<std::string> editBlocks() const;
    // Closes the blocks open beyond depth (an action returned without closing them) and
    // returns their names, innermost last.
    std::vector<std::string> closeEditsAbove(int depth);

private:
    HandleTag tag_{HandleTag::ParamSetKind, this};
    ImageEffect& owner_;
    std::vector<std::unique_ptr<Param>> params_;
    mutable std::mutex editMutex_;
    std::vector<std::string> openEdits_;
    std::vector<std::string> editBlocks_;
};

} // namespace ofxhost
