#include "host/record/Recorder.h"

#include <utility>

namespace ofxhost {

void Recorder::addMessage(MessageRecord message) {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back(std::move(message));
}

void Recorder::addDrawCall(DrawCall call) {
    std::lock_guard<std::mutex> lock(mutex_);
    drawCalls_.push_back(std::move(call));
}

void Recorder::addValueChange(ValueChange change) {
    std::lock_guard<std::mutex> lock(mutex_);
    valueChanges_.push_back(std::move(change));
}

size_t Recorder::addInstanceChange(InstanceChangeRecord change) {
    std::lock_guard<std::mutex> lock(mutex_);
    instanceChanges_.push_back(std::move(change));
    return instanceChanges_.size() - 1;
}

void Recorder::setInstanceChangeStatus(size_t index, OfxStatus status) {
    std::lock_guard<std::mutex> lock(mutex_);
    // A clear in between leaves nothing to update.
    if (index < instanceChanges_.size()) {
        instanceChanges_[index].status = status;
    }
}

void Recorder::addSuiteRequest(SuiteRequest request) {
    std::lock_guard<std::mutex> lock(mutex_);
    suiteRequests_.push_back(std::move(request));
}

void Recorder::addProgress(ProgressEvent event) {
    std::lock_guard<std::mutex> lock(mutex_);
    progress_.push_back(std::move(event));
}

void Recorder::addViolation(Violation violation) {
    std::lock_guard<std::mutex> lock(mutex_);
    violations_.push_back(std::move(violation));
}

void Recorder::countRedraw() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++redraws_;
}

void Recorder::countSwapBuffers() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++swapBuffers_;
}

std::vector<MessageRecord> Recorder::messages() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

std::vector<DrawCall> Recorder::drawCalls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return drawCalls_;
}

std::vector<ValueChange> Recorder::valueChanges() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return valueChanges_;
}

std::vector<InstanceChangeRecord> Recorder::instanceChanges() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return instanceChanges_;
}

std::vector<SuiteRequest> Recorder::suiteRequests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return suiteRequests_;
}

std::vector<ProgressEvent> Recorder::progress() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return progress_;
}

std::vector<Violation> Recorder::violations() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return violations_;
}

int Recorder::redrawCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return redraws_;
}

int Recorder::swapBuffersCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return swapBuffers_;
}

void Recorder::clearDrawCalls() {
    std::lock_guard<std::mutex> lock(mutex_);
    drawCalls_.clear();
}

void Recorder::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.clear();
    drawCalls_.clear();
    valueChanges_.clear();
    instanceChanges_.clear();
    suiteRequests_.clear();
    progress_.clear();
    violations_.clear();
    redraws_ = 0;
    swapBuffers_ = 0;
}

} // namespace ofxhost
