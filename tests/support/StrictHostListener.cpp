// Under HALDEN_HOST_STRICT=1 every host enforces the OFX rules; a test during which one
// recorded a breach fails, naming each breach.

#include "host/plugin/Host.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

void failOnViolations() {
    for (const auto& violation : ofxhost::Host::processViolations()) {
        ADD_FAILURE() << "strict host: violation in " << violation.action << ": "
                      << violation.description;
    }
    ofxhost::Host::clearProcessViolations();
}

class StrictHostListener : public ::testing::EmptyTestEventListener {
    // The fixture is gone by now, so its hosts' teardown is included.
    void OnTestEnd(const ::testing::TestInfo&) override { failOnViolations(); }
    // Shared sessions torn down after the suite's last test.
    void OnTestSuiteEnd(const ::testing::TestSuite&) override { failOnViolations(); }
};

const bool kRegistered = [] {
    const char* strict = std::getenv("HALDEN_HOST_STRICT");
    if (strict != nullptr && *strict != '\0' && std::strcmp(strict, "0") != 0) {
        ::testing::UnitTest::GetInstance()->listeners().Append(new StrictHostListener);
    }
    return true;
}();

} // namespace
