#include "host/suites/ParametricSuite.h"

#include "host/core/StatusGuard.h"
#include "host/effect/EffectInstance.h"
#include "host/params/Param.h"
#include "host/params/ParamSet.h"

#include <utility>

namespace ofxhost {

namespace {

// Curves do not animate here: every time reads and writes the same control points.
template <class Body>
OfxStatus withCurve(OfxParamHandle handle, int curve, Body&& body) {
    return guardStatus([&]() -> OfxStatus {
        Param* param = Param::fromHandle(handle);
        if (param == nullptr || param->info().storage != ParamTypeInfo::Storage::Parametric) {
            return kOfxStatErrBadHandle;
        }
        std::lock_guard<std::mutex> lock(param->curvesMutex());
        ParametricCurves& curves = param->curves();
        if (!curves.validCurve(curve)) {
            return kOfxStatErrBadIndex;
        }
        return body(curves);
    });
}

OfxStatus getValue(OfxParamHandle handle, int curve, OfxTime, double position, double* value) {
    return withCurve(handle, curve, [&](ParametricCurves& curves) {
        if (value == nullptr) {
            return kOfxStatErrValue;
        }
        *value = curves.valueAt(curve, position);
        return kOfxStatOK;
    });
}

OfxStatus getCount(OfxParamHandle handle, int curve, double, int* count) {
    return withCurve(handle, curve, [&](ParametricCurves& curves) {
        if (count == nullptr) {
            return kOfxStatErrValue;
        }
        *count = curves.pointCount(curve);
        return kOfxStatOK;
    });
}

OfxStatus getPoint(OfxParamHandle handle, int curve, double, int nth, double* key, double* value) {
    return withCurve(handle, curve, [&](ParametricCurves& curves) {
        if (key == nullptr || value == nullptr) {
            return kOfxStatErrValue;
        }
        if (nth < 0 || nth >= curves.pointCount(curve)) {
            return kOfxStatErrBadIndex;
        }
        const auto point = curves.point(curve, nth);
        *key = point.first;
        *value = point.second;
        return kOfxStatOK;
    });
}

// A change to an instance's curve is an edit of the plug-in's, told once the curve is unlocked.
template <class Body>
OfxStatus editCurve(OfxParamHandle handle, int curve, Body&& body) {
    const OfxStatus status = withCurve(handle, curve, std::forward<Body>(body));
    if (status != kOfxStatOK) {
        return status;
    }
    return guardStatus([&]() -> OfxStatus {
        Param* param = Param::fromHandle(handle);
        if (EffectInstance* instance = param->owner().owner().asInstance()) {
            instance->pluginChangedCurve(*param);
        }
        return kOfxStatOK;
    });
}

OfxStatus setPoint(OfxParamHandle handle, int curve, double, int nth, double key, double value,
                   bool) {
    return editCurve(handle, curve, [&](ParametricCurves& curves) {
        if (nth < 0 || nth >= curves.pointCount(curve)) {
            return kOfxStatErrBadIndex;
        }
        curves.setPoint(curve, nth, key, value);
        return kOfxStatOK;
    });
}

OfxStatus addPoint(OfxParamHandle handle, int curve, double, double key, double value, bool) {
    return editCurve(handle, curve, [&](ParametricCurves& curves) {
        curves.addPoint(curve, key, value);
        return kOfxStatOK;
    });
}

OfxStatus deletePoint(OfxParamHandle handle, int curve, int nth) {
    return editCurve(handle, curve, [&](ParametricCurves& curves) {
        if (nth < 0 || nth >= curves.pointCount(curve)) {
            return kOfxStatErrBadIndex;
        }
        curves.deletePoint(curve, nth);
        return kOfxStatOK;
    });
}

OfxStatus deleteAllPoints(OfxParamHandle handle, int curve) {
    return editCurve(handle, curve, [&](ParametricCurves& curves) {
        curves.deleteAllPoints(curve);
        return kOfxStatOK;
    });
}

const OfxParametricParameterSuiteV1 kParametricSuite = {
    getValue, getCount, getPoint, setPoint, addPoint, deletePoint, deleteAllPoints};

} // namespace

const OfxParametricParameterSuiteV1* parametricSuiteV1() {
    return &kParametricSuite;
}

} // namespace ofxhost
