#pragma once

#include "host/core/HandleTag.h"
#include "host/params/Param.h"

#include "ofx/ofxParam.h"

#include <memory>
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

    // Edit blocks group the plug-in's changes (one undo step in an interactive host).
    void beginEdit(const std::string& name);
    bool endEdit();
    int editDepth() const { return static_cast<int>(openEdits_.size()); }
    const std::vector<std::string>& editBlocks() const { return editBlocks_; }

private:
    HandleTag tag_{HandleTag::ParamSetKind, this};
    ImageEffect& owner_;
    std::vector<std::unique_ptr<Param>> params_;
    std::vector<std::string> openEdits_;
    std::vector<std::string> editBlocks_;
};

} // namespace ofxhost
