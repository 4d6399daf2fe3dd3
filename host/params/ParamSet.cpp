#include "host/params/ParamSet.h"

#include "host/core/HostError.h"

#include <algorithm>

namespace ofxhost {

ParamSet* ParamSet::fromHandle(OfxParamSetHandle handle) {
    return objectFromHandle<ParamSet>(handle, HandleTag::ParamSetKind);
}

Param& ParamSet::define(const std::string& type, const std::string& name) {
    if (find(name) != nullptr) {
        throw HostError(kOfxStatErrExists, "parameter " + name + " is already defined");
    }
    const auto info = ParamTypeInfo::forType(type);
    if (!info) {
        throw HostError(kOfxStatErrUnknown, "unknown parameter type " + type);
    }
    params_.push_back(std::make_unique<Param>(*this, type, name, *info));
    return *params_.back();
}

void ParamSet::instantiateFrom(ParamSet& descriptors) {
    params_.clear();
    for (const auto& descriptor : descriptors.params_) {
        params_.push_back(std::make_unique<Param>(*this, *descriptor));
    }
}

Param* ParamSet::find(const std::string& name) {
    for (const auto& param : params_) {
        if (param->name() == name) {
            return param.get();
        }
    }
    return nullptr;
}

Param& ParamSet::get(const std::string& name) {
    Param* param = find(name);
    if (param == nullptr) {
        throw HostError(kOfxStatErrUnknown, "no parameter named " + name);
    }
    return *param;
}

int ParamSet::beginEdit(const std::string& name) {
    std::lock_guard<std::mutex> lock(editMutex_);
    const int open = static_cast<int>(openEdits_.size());
    openEdits_.push_back(name);
    editBlocks_.push_back(name);
    return open;
}

bool ParamSet::endEdit() {
    std::lock_guard<std::mutex> lock(editMutex_);
    if (openEdits_.empty()) {
        return false;
    }
    openEdits_.pop_back();
    return true;
}

int ParamSet::editDepth() const {
    std::lock_guard<std::mutex> lock(editMutex_);
    return static_cast<int>(openEdits_.size());
}

std::vector<std::string> ParamSet::editBlocks() const {
    std::lock_guard<std::mutex> lock(editMutex_);
    return editBlocks_;
}

std::vector<std::string> ParamSet::closeEditsAbove(int depth) {
    std::lock_guard<std::mutex> lock(editMutex_);
    std::vector<std::string> closed;
    while (static_cast<int>(openEdits_.size()) > std::max(depth, 0)) {
        closed.insert(closed.begin(), openEdits_.back());
        openEdits_.pop_back();
    }
    return closed;
}

} // namespace ofxhost
