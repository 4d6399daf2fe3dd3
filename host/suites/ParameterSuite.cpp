#include "host/suites/ParameterSuite.h"

#include "host/core/StatusGuard.h"
#include "host/effect/EffectInstance.h"
#include "host/params/ParamSet.h"
#include "host/plugin/Host.h"

#include <cstdarg>
#include <optional>

namespace ofxhost {

namespace {

using Storage = ParamTypeInfo::Storage;

template <class Body>
OfxStatus withParam(OfxParamHandle handle, Body&& body) {
    return guardStatus([&]() -> OfxStatus {
        Param* param = Param::fromHandle(handle);
        return param == nullptr ? kOfxStatErrBadHandle : body(*param);
    });
}

template <class Body>
OfxStatus withSet(OfxParamSetHandle handle, Body&& body) {
    return guardStatus([&]() -> OfxStatus {
        ParamSet* set = ParamSet::fromHandle(handle);
        return set == nullptr ? kOfxStatErrBadHandle : body(*set);
    });
}

EffectInstance* instanceOf(Param& param) {
    return param.owner().owner().asInstance();
}

// "Now" for calls without a time: the instance's timeline position.
OfxTime now(Param& param) {
    EffectInstance* instance = instanceOf(param);
    return instance != nullptr ? instance->time() : 0.0;
}

// Writes the value through the variadic out-pointers the parameter type calls for.
OfxStatus writeValue(Param& param, OfxTime time, va_list args) {
    const ParamTypeInfo& info = param.info();
    if (info.storage == Storage::Text) {
        char** out = va_arg(args, char**);
        if (out == nullptr) {
            return kOfxStatErrValue;
        }
        *out = const_cast<char*>(param.textAt(time));
        return kOfxStatOK;
    }
    if (!info.isNumeric()) {
        return kOfxStatErrUnsupported;
    }
    const ParamValue value = param.valueAt(time);
    for (int i = 0; i < info.dimension; ++i) {
        const double number = i < static_cast<int>(value.numbers.size()) ? value.numbers[i] : 0.0;
        if (info.storage == Storage::Int) {
            int* out = va_arg(args, int*);
            if (out == nullptr) {
                return kOfxStatErrValue;
            }
            *out = static_cast<int>(number);
        } else {
            double* out = va_arg(args, double*);
            if (out == nullptr) {
                return kOfxStatErrValue;
            }
            *out = number;
        }
    }
    return kOfxStatOK;
}

// Reads a value passed by value through the variadic arguments (after default promotions).
std::optional<ParamValue> readValue(const Param& param, va_list args) {
    const ParamTypeInfo& info = param.info();
    ParamValue value;
    if (info.storage == Storage::Text) {
        const char* text = va_arg(args, const char*);
        if (text == nullptr) {
            return std::nullopt;
        }
        value.text = text;
        return value;
    }
    for (int i = 0; i < info.dimension; ++i) {
        value.numbers.push_back(info.storage == Storage::Int ? va_arg(args, int)
                                                             : va_arg(args, double));
    }
    return value;
}

OfxStatus writeNumbers(const std::vector<double>& numbers, int dimension, va_list args) {
    for (int i = 0; i < dimension; ++i) {
        double* out = va_arg(args, double*);
        if (out == nullptr) {
            return kOfxStatErrValue;
        }
        *out = i < static_cast<int>(numbers.size()) ? numbers[i] : 0.0;
    }
    return kOfxStatOK;
}

OfxStatus setFromArgs(Param& param, std::optional<OfxTime> time, va_list args) {
    EffectInstance* instance = instanceOf(param);
    if (instance == nullptr) {
        return kOfxStatErrBadHandle;
    }
    if (!param.info().hasValue()) {
        return kOfxStatErrUnsupported;
    }
    auto value = readValue(param, args);
    if (!value) {
        return kOfxStatErrValue;
    }
    const OfxTime at = time.value_or(instance->time());
    if (time) {
        param.setValueAtTime(*time, std::move(*value));
    } else {
        param.setValue(std::move(*value), at);
    }
    instance->pluginChangedValue(param, time, param.valueAt(at));
    return kOfxStatOK;
}

OfxStatus paramDefine(OfxParamSetHandle handle, const char* type, const char* name,
                      OfxPropertySetHandle* props) {
    return withSet(handle, [&](ParamSet& set) {
        if (type == nullptr || name == nullptr) {
            return kOfxStatErrValue;
        }
        if (set.owner().role() == EffectRole::Instance) {
            return kOfxStatErrUnsupported;
        }
        Param& param = set.define(type, name);
        if (props != nullptr) {
            *props = param.properties().handle();
        }
        return kOfxStatOK;
    });
}

OfxStatus paramGetHandle(OfxParamSetHandle handle, const char* name, OfxParamHandle* param,
                         OfxPropertySetHandle* props) {
    return withSet(handle, [&](ParamSet& set) {
        if (name == nullptr || param == nullptr) {
            return kOfxStatErrValue;
        }
        Param* found = set.find(name);
        if (found == nullptr) {
            return kOfxStatErrUnknown;
        }
        *param = found->handle();
        if (props != nullptr) {
            *props = found->properties().handle();
        }
        return kOfxStatOK;
    });
}

OfxStatus paramSetGetPropertySet(OfxParamSetHandle handle, OfxPropertySetHandle* props) {
    return withSet(handle, [&](ParamSet& set) {
        if (props == nullptr) {
            return kOfxStatErrValue;
        }
        // The parameter set's properties are the effect's.
        *props = set.owner().properties().handle();
        return kOfxStatOK;
    });
}

OfxStatus paramGetPropertySet(OfxParamHandle handle, OfxPropertySetHandle* props) {
    return withParam(handle, [&](Param& param) {
        if (props == nullptr) {
            return kOfxStatErrValue;
        }
        *props = param.properties().handle();
        return kOfxStatOK;
    });
}

OfxStatus paramGetValue(OfxParamHandle handle, ...) {
    va_list args;
    va_start(args, handle);
    const OfxStatus status =
        withParam(handle, [&](Param& param) { return writeValue(param, now(param), args); });
    va_end(args);
    return status;
}

OfxStatus paramGetValueAtTime(OfxParamHandle handle, OfxTime time, ...) {
    va_list args;
    va_start(args, time);
    const OfxStatus status =
        withParam(handle, [&](Param& param) { return writeValue(param, time, args); });
    va_end(args);
    return status;
}

OfxStatus paramGetDerivative(OfxParamHandle handle, OfxTime time, ...) {
    va_list args;
    va_start(args, time);
    const OfxStatus status = withParam(handle, [&](Param& param) {
        if (param.info().storage != Storage::Double) {
            return kOfxStatErrUnsupported;
        }
        return writeNumbers(param.derivative(time), param.info().dimension, args);
    });
    va_end(args);
    return status;
}

OfxStatus paramGetIntegral(OfxParamHandle handle, OfxTime time1, OfxTime time2, ...) {
    va_list args;
    va_start(args, time2);
    const OfxStatus status = withParam(handle, [&](Param& param) {
        if (param.info().storage != Storage::Double) {
            return kOfxStatErrUnsupported;
        }
        return writeNumbers(param.integral(time1, time2), param.info().dimension, args);
    });
    va_end(args);
    return status;
}

OfxStatus paramSetValue(OfxParamHandle handle, ...) {
    va_list args;
    va_start(args, handle);
    const OfxStatus status =
        withParam(handle, [&](Param& param) { return setFromArgs(param, std::nullopt, args); });
    va_end(args);
    return status;
}

OfxStatus paramSetValueAtTime(OfxParamHandle handle, OfxTime time, ...) {
    va_list args;
    va_start(args, time);
    const OfxStatus status =
        withParam(handle, [&](Param& param) { return setFromArgs(param, time, args); });
    va_end(args);
    return status;
}

OfxStatus paramGetNumKeys(OfxParamHandle handle, unsigned int* count) {
    return withParam(handle, [&](Param& param) {
        if (count == nullptr) {
            return kOfxStatErrValue;
        }
        *count = param.isInstance() ? param.keyCount() : 0;
        return kOfxStatOK;
    });
}

OfxStatus paramGetKeyTime(OfxParamHandle handle, unsigned int nth, OfxTime* time) {
    return withParam(handle, [&](Param& param) {
        if (time == nullptr) {
            return kOfxStatErrValue;
        }
        const auto found = param.keyTime(nth);
        if (!found) {
            return kOfxStatErrBadIndex;
        }
        *time = *found;
        return kOfxStatOK;
    });
}

OfxStatus paramGetKeyIndex(OfxParamHandle handle, OfxTime time, int direction, int* index) {
    return withParam(handle, [&](Param& param) {
        if (index == nullptr) {
            return kOfxStatErrValue;
        }
        *index = param.keyIndex(time, direction);
        return *index < 0 ? kOfxStatFailed : kOfxStatOK;
    });
}

OfxStatus paramDeleteKey(OfxParamHandle handle, OfxTime time) {
    return withParam(handle, [&](Param& param) {
        EffectInstance* instance = instanceOf(param);
        if (instance == nullptr) {
            return kOfxStatErrBadHandle;
        }
        if (!param.deleteKey(time)) {
            return kOfxStatErrBadIndex;
        }
        instance->pluginChangedValue(param, time, param.valueAt(time), "key deleted");
        return kOfxStatOK;
    });
}

OfxStatus paramDeleteAllKeys(OfxParamHandle handle) {
    return withParam(handle, [&](Param& param) {
        EffectInstance* instance = instanceOf(param);
        if (instance == nullptr) {
            return kOfxStatErrBadHandle;
        }
        param.deleteAllKeys(instance->time());
        instance->pluginChangedValue(param, std::nullopt, param.valueAt(instance->time()),
                                     "keys deleted");
        return kOfxStatOK;
    });
}

OfxStatus paramCopy(OfxParamHandle to, OfxParamHandle from, OfxTime offset,
                    const OfxRangeD* range) {
    return guardStatus([&]() -> OfxStatus {
        Param* target = Param::fromHandle(to);
        Param* source = Param::fromHandle(from);
        if (target == nullptr || source == nullptr || instanceOf(*target) == nullptr) {
            return kOfxStatErrBadHandle;
        }
        if (target->type() != source->type() || !target->info().hasValue()) {
            return kOfxStatErrValue;
        }
        std::optional<std::pair<OfxTime, OfxTime>> limits;
        if (range != nullptr && !(range->min == 0.0 && range->max == 0.0)) {
            limits = std::make_pair(range->min, range->max);
        }
        target->copyAnimation(*source, offset, limits);
        EffectInstance* instance = instanceOf(*target);
        instance->pluginChangedValue(*target, std::nullopt, target->valueAt(instance->time()),
                                     "copied over");
        return kOfxStatOK;
    });
}

OfxStatus paramEditBegin(OfxParamSetHandle handle, const char* name) {
    return withSet(handle, [&](ParamSet& set) {
        const std::string label = name != nullptr ? name : "";
        Host& host = set.owner().host();
        if (set.beginEdit(label) > 0 && host.strict()) {
            host.addViolation("edit block '" + label + "' begun inside another");
        }
        return kOfxStatOK;
    });
}

OfxStatus paramEditEnd(OfxParamSetHandle handle) {
    return withSet(handle, [&](ParamSet& set) {
        if (set.endEdit()) {
            return kOfxStatOK;
        }
        Host& host = set.owner().host();
        if (host.strict()) {
            host.addViolation("edit block ended without a begin");
        }
        return kOfxStatFailed;
    });
}

const OfxParameterSuiteV1 kParameterSuite = {
    paramDefine,      paramGetHandle,      paramSetGetPropertySet, paramGetPropertySet,
    paramGetValue,    paramGetValueAtTime, paramGetDerivative,     paramGetIntegral,
    paramSetValue,    paramSetValueAtTime, paramGetNumKeys,        paramGetKeyTime,
    paramGetKeyIndex, paramDeleteKey,      paramDeleteAllKeys,     paramCopy,
    paramEditBegin,   paramEditEnd};

} // namespace

const OfxParameterSuiteV1* parameterSuiteV1() {
    return &kParameterSuite;
}

} // namespace ofxhost
