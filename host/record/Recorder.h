#pragma once

#include "host/record/Records.h"

#include <cstddef>
#include <mutex>
#include <vector>

namespace ofxhost {

// Everything the plug-in said to the host that is not kept in the descriptors themselves:
// messages, draw-suite calls, values it set, the change notifications the host sent, suite
// requests, progress and rule violations. Thread-safe; readers get copies.
class Recorder {
public:
    void addMessage(MessageRecord message);
    void addDrawCall(DrawCall call);
    void addValueChange(ValueChange change);
    // Returns the record's index, for the status once the notification has been answered.
    size_t addInstanceChange(InstanceChangeRecord change);
    void setInstanceChangeStatus(size_t index, OfxStatus status);
    void addSuiteRequest(SuiteRequest request);
    void addProgress(ProgressEvent event);
    void addViolation(Violation violation);
    void countRedraw();
    void countSwapBuffers();

    std::vector<MessageRecord> messages() const;
    std::vector<DrawCall> drawCalls() const;
    std::vector<ValueChange> valueChanges() const;
    std::vector<InstanceChangeRecord> instanceChanges() const;
    std::vector<SuiteRequest> suiteRequests() const;
    std::vector<ProgressEvent> progress() const;
    std::vector<Violation> violations() const;
    int redrawCount() const;
    int swapBuffersCount() const;

    // Forgets the draw calls (one overlay draw at a time is easier to read).
    void clearDrawCalls();
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<MessageRecord> messages_;
    std::vector<DrawCall> drawCalls_;
    std::vector<ValueChange> valueChanges_;
    std::vector<InstanceChangeRecord> instanceChanges_;
    std::vector<SuiteRequest> suiteRequests_;
    std::vector<ProgressEvent> progress_;
    std::vector<Violation> violations_;
    int redraws_ = 0;
    int swapBuffers_ = 0;
};

} // namespace ofxhost
