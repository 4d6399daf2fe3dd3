// The property suite as a plug-in sees it: typed values with dimensions and the error statuses
// OFX hosts answer with.

#include "host/suites/PropertySuite.h"
#include "host/properties/PropertySet.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using ofxhost::PropertySet;

class PropertySuite : public ::testing::Test {
protected:
    PropertySuite() {
        set.addInt("count", {3});
        set.addDouble("scale", {1.0, 1.0});
        set.addString("names", {}, 0);
        set.addString("label", {"default"});
        set.addPointer("data", {nullptr});
        set.addString("fixed", {"host"}, 1, true);
    }

    const OfxPropertySuiteV1& suite = *ofxhost::propertySuiteV1();
    PropertySet set;
    OfxPropertySetHandle handle = set.handle();
};

TEST_F(PropertySuite, ReadsBackWhatWasWrittenByIndexAndAllAtOnce) {
    EXPECT_EQ(suite.propSetDouble(handle, "scale", 1, 0.5), kOfxStatOK);
    double scale[2] = {};
    EXPECT_EQ(suite.propGetDoubleN(handle, "scale", 2, scale), kOfxStatOK);
    EXPECT_DOUBLE_EQ(scale[0], 1.0);
    EXPECT_DOUBLE_EQ(scale[1], 0.5);

    const char* names[] = {"a", "b", "c"};
    EXPECT_EQ(suite.propSetStringN(handle, "names", 3, names), kOfxStatOK);
    char* second = nullptr;
    EXPECT_EQ(suite.propGetString(handle, "names", 1, &second), kOfxStatOK);
    EXPECT_STREQ(second, "b");

    int value = 0;
    EXPECT_EQ(suite.propSetInt(handle, "count", 0, 7), kOfxStatOK);
    EXPECT_EQ(suite.propGetInt(handle, "count", 0, &value), kOfxStatOK);
    EXPECT_EQ(value, 7);

    int marker = 0;
    EXPECT_EQ(suite.propSetPointer(handle, "data", 0, &marker), kOfxStatOK);
    void* pointer = nullptr;
    EXPECT_EQ(suite.propGetPointer(handle, "data", 0, &pointer), kOfxStatOK);
    EXPECT_EQ(pointer, &marker);
}

TEST_F(PropertySuite, AnswersBadRequestsWithTheirOfxErrorStatus) {
    int value = 0;
    double number = 0.0;
    double three[3] = {};
    int notASet[16] = {};
    // Unknown names.
    EXPECT_EQ(suite.propGetInt(handle, "missing", 0, &value), kOfxStatErrUnknown);
    EXPECT_EQ(suite.propSetInt(handle, "missing", 0, 1), kOfxStatErrUnknown);
    EXPECT_EQ(suite.propGetDimension(handle, "missing", &value), kOfxStatErrUnknown);
    EXPECT_EQ(suite.propReset(handle, "missing"), kOfxStatErrUnknown);
    // Indices outside the dimension.
    EXPECT_EQ(suite.propGetDouble(handle, "scale", 2, &number), kOfxStatErrBadIndex);
    EXPECT_EQ(suite.propGetDouble(handle, "scale", -1, &number), kOfxStatErrBadIndex);
    EXPECT_EQ(suite.propSetDouble(handle, "scale", 2, 1.0), kOfxStatErrBadIndex);
    EXPECT_EQ(suite.propGetDoubleN(handle, "scale", 3, three), kOfxStatErrBadIndex);
    EXPECT_EQ(suite.propSetDoubleN(handle, "scale", 3, three), kOfxStatErrBadIndex);
    // The wrong type, a host-owned property or no place to write.
    EXPECT_EQ(suite.propGetInt(handle, "scale", 0, &value), kOfxStatErrValue);
    EXPECT_EQ(suite.propSetDouble(handle, "count", 0, 1.0), kOfxStatErrValue);
    EXPECT_EQ(suite.propSetString(handle, "fixed", 0, "plug-in"), kOfxStatErrValue);
    EXPECT_EQ(set.getString("fixed"), "host");
    EXPECT_EQ(suite.propGetInt(handle, "count", 0, nullptr), kOfxStatErrValue);
    // Foreign handles.
    EXPECT_EQ(suite.propGetInt(nullptr, "count", 0, &value), kOfxStatErrBadHandle);
    EXPECT_EQ(suite.propGetInt(reinterpret_cast<OfxPropertySetHandle>(notASet), "count", 0, &value),
              kOfxStatErrBadHandle);
}

TEST_F(PropertySuite, GrowsVariableSizePropertiesOneIndexAtATime) {
    EXPECT_EQ(suite.propSetString(handle, "names", 0, "first"), kOfxStatOK);
    EXPECT_EQ(suite.propSetString(handle, "names", 1, "second"), kOfxStatOK);
    // A gap would leave a value undefined.
    EXPECT_EQ(suite.propSetString(handle, "names", 3, "fourth"), kOfxStatErrBadIndex);
    int dimension = 0;
    EXPECT_EQ(suite.propGetDimension(handle, "names", &dimension), kOfxStatOK);
    EXPECT_EQ(dimension, 2);
    EXPECT_EQ(set.getStrings("names"), (std::vector<std::string>{"first", "second"}));
}

TEST_F(PropertySuite, ResetRestoresTheDefault) {
    suite.propSetString(handle, "label", 0, "changed");
    suite.propSetString(handle, "names", 0, "grown");
    EXPECT_EQ(suite.propReset(handle, "label"), kOfxStatOK);
    EXPECT_EQ(suite.propReset(handle, "names"), kOfxStatOK);
    EXPECT_EQ(set.getString("label"), "default");
    EXPECT_EQ(set.dimension("names"), 0);
}

TEST_F(PropertySuite, StringsAreCopiedInAndHandedOutAsHostStorage) {
    std::string text = "temporary";
    suite.propSetString(handle, "label", 0, text.c_str());
    text = "overwritten";
    char* first = nullptr;
    char* again = nullptr;
    suite.propGetString(handle, "label", 0, &first);
    suite.propGetString(handle, "label", 0, &again);
    EXPECT_STREQ(first, "temporary");
    EXPECT_EQ(first, again);
}

} // namespace
