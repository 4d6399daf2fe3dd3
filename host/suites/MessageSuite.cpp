#include "host/suites/MessageSuite.h"

#include "host/core/StatusGuard.h"
#include "host/effect/EffectInstance.h"
#include "host/plugin/Host.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

namespace ofxhost {

namespace {

// The format comes from the plug-in by the suite's contract.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#endif
std::string format(const char* text, va_list args) {
    if (text == nullptr) {
        return {};
    }
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, text, measure);
    va_end(measure);
    if (length <= 0) {
        return {};
    }
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), text, args);
    return std::string(buffer.data(), static_cast<size_t>(length));
}
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

Host* hostFor(ImageEffect* effect) {
    return effect != nullptr ? &effect->host() : Host::latest();
}

MessageRecord makeRecord(MessageRecord::Kind kind, const void* handle, const char* type,
                         const char* id, std::string text) {
    MessageRecord record;
    record.kind = kind;
    record.effect = handle;
    record.type = type != nullptr ? type : "";
    record.id = id != nullptr ? id : "";
    record.text = std::move(text);
    return record;
}

OfxStatus postMessage(void* handle, const char* type, const char* id, const char* text, ...) {
    va_list args;
    va_start(args, text);
    const OfxStatus status = guardStatus([&]() -> OfxStatus {
        ImageEffect* effect = handle != nullptr ? ImageEffect::fromHandle(handle) : nullptr;
        if (handle != nullptr && effect == nullptr) {
            return kOfxStatErrBadHandle;
        }
        Host* host = hostFor(effect);
        if (host == nullptr) {
            return kOfxStatFailed;
        }
        host->recorder().addMessage(
            makeRecord(MessageRecord::Kind::Message, handle, type, id, format(text, args)));
        // Nobody is there to answer a question: the safe answer is no.
        const std::string kind = type != nullptr ? type : "";
        return kind == kOfxMessageQuestion ? kOfxStatReplyNo : kOfxStatOK;
    });
    va_end(args);
    return status;
}

OfxStatus setPersistentMessage(void* handle, const char* type, const char* id, const char* text,
                               ...) {
    va_list args;
    va_start(args, text);
    const OfxStatus status = guardStatus([&]() -> OfxStatus {
        ImageEffect* effect = ImageEffect::fromHandle(handle);
        EffectInstance* instance = effect != nullptr ? effect->asInstance() : nullptr;
        if (instance == nullptr) {
            return kOfxStatErrBadHandle;
        }
        const std::string kind = type != nullptr ? type : "";
        if (kind != kOfxMessageError && kind != kOfxMessageWarning && kind != kOfxMessageMessage) {
            return kOfxStatErrValue;
        }
        MessageRecord record =
            makeRecord(MessageRecord::Kind::SetPersistent, handle, type, id, format(text, args));
        instance->setPersistentMessage(record);
        instance->host().recorder().addMessage(std::move(record));
        return kOfxStatOK;
    });
    va_end(args);
    return status;
}

OfxStatus clearPersistentMessage(void* handle) {
    return guardStatus([&]() -> OfxStatus {
        ImageEffect* effect = ImageEffect::fromHandle(handle);
        EffectInstance* instance = effect != nullptr ? effect->asInstance() : nullptr;
        if (instance == nullptr) {
            return kOfxStatErrBadHandle;
        }
        instance->setPersistentMessage(std::nullopt);
        instance->host().recorder().addMessage(
            makeRecord(MessageRecord::Kind::ClearPersistent, handle, nullptr, nullptr, {}));
        return kOfxStatOK;
    });
}

const OfxMessageSuiteV2 kMessageSuite = {postMessage, setPersistentMessage, clearPersistentMessage};

} // namespace

const OfxMessageSuiteV2* messageSuiteV2() {
    return &kMessageSuite;
}

} // namespace ofxhost
