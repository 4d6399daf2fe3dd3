// Parameter values over time: linear between keys for doubles, stepped for the rest, held
// before the first and after the last key.

#include "host/params/KeyframeCurve.h"

#include <gtest/gtest.h>

namespace {

using ofxhost::Interpolation;
using ofxhost::KeyframeCurve;
using ofxhost::ParamValue;

double at(const KeyframeCurve& curve, OfxTime time, size_t dimension = 0) {
    return curve.valueAt(time).numbers.at(dimension);
}

TEST(KeyframeCurve, WithoutKeysHoldsTheStaticValueAtEveryTime) {
    KeyframeCurve curve(ParamValue::of(2.5), Interpolation::Linear);
    EXPECT_DOUBLE_EQ(at(curve, -100.0), 2.5);
    curve.setStatic(ParamValue::of(4.0));
    EXPECT_DOUBLE_EQ(at(curve, 1e6), 4.0);
}

TEST(KeyframeCurve, InterpolatesDoublesLinearlyAndHoldsOutsideTheKeys) {
    KeyframeCurve curve(ParamValue::of({0.0, 0.0}), Interpolation::Linear);
    curve.setKey(10.0, ParamValue::of({1.0, 100.0}));
    curve.setKey(20.0, ParamValue::of({3.0, 0.0}));
    EXPECT_DOUBLE_EQ(at(curve, 15.0), 2.0);
    EXPECT_DOUBLE_EQ(at(curve, 12.5, 1), 75.0);
    EXPECT_DOUBLE_EQ(at(curve, 0.0), 1.0);
    EXPECT_DOUBLE_EQ(at(curve, 30.0), 3.0);
    EXPECT_DOUBLE_EQ(at(curve, 20.0), 3.0);
}

TEST(KeyframeCurve, StepsIntegersAndTextToTheLastKeyAtOrBefore) {
    KeyframeCurve numbers(ParamValue::of(0.0), Interpolation::Step);
    numbers.setKey(0.0, ParamValue::of(1.0));
    numbers.setKey(10.0, ParamValue::of(5.0));
    EXPECT_DOUBLE_EQ(at(numbers, 9.99), 1.0);
    EXPECT_DOUBLE_EQ(at(numbers, 10.0), 5.0);

    KeyframeCurve text(ParamValue::ofText("a"), Interpolation::Step);
    text.setKey(5.0, ParamValue::ofText("b"));
    text.setKey(8.0, ParamValue::ofText("c"));
    EXPECT_EQ(text.valueAt(7.0).text, "b");
    EXPECT_EQ(text.valueAt(1.0).text, "b");
}

TEST(KeyframeCurve, ReplacesAKeySetAgainAtTheSameTime) {
    KeyframeCurve curve(ParamValue::of(0.0), Interpolation::Linear);
    curve.setKey(3.0, ParamValue::of(1.0));
    curve.setKey(3.0, ParamValue::of(2.0));
    EXPECT_EQ(curve.keyCount(), 1u);
    EXPECT_DOUBLE_EQ(at(curve, 3.0), 2.0);
}

TEST(KeyframeCurve, FindsKeysByTimeAndDirection) {
    KeyframeCurve curve(ParamValue::of(0.0), Interpolation::Linear);
    for (double time : {30.0, 10.0, 20.0}) {
        curve.setKey(time, ParamValue::of(time));
    }
    EXPECT_EQ(curve.keyTime(0), 10.0);
    EXPECT_EQ(curve.keyTime(2), 30.0);
    EXPECT_FALSE(curve.keyTime(3).has_value());
    EXPECT_EQ(curve.keyIndex(20.0, 0), 1);
    EXPECT_EQ(curve.keyIndex(15.0, 0), -1);
    EXPECT_EQ(curve.keyIndex(20.0, 1), 2);
    EXPECT_EQ(curve.keyIndex(20.0, -1), 0);
    EXPECT_EQ(curve.keyIndex(10.0, -1), -1);
    EXPECT_EQ(curve.keyIndex(30.0, 1), -1);
}

TEST(KeyframeCurve, DeletingTheLastKeyKeepsItsValue) {
    KeyframeCurve curve(ParamValue::of(0.0), Interpolation::Linear);
    curve.setKey(1.0, ParamValue::of(6.0));
    EXPECT_FALSE(curve.deleteKey(2.0));
    EXPECT_TRUE(curve.deleteKey(1.0));
    EXPECT_FALSE(curve.hasKeys());
    EXPECT_DOUBLE_EQ(at(curve, 50.0), 6.0);

    curve.setKey(0.0, ParamValue::of(0.0));
    curve.setKey(10.0, ParamValue::of(10.0));
    curve.deleteAllKeys(4.0);
    EXPECT_DOUBLE_EQ(at(curve, 100.0), 4.0);
}

TEST(KeyframeCurve, DerivativeAndIntegralFollowTheSegmentAndTheHeldEnds) {
    KeyframeCurve curve(ParamValue::of(0.0), Interpolation::Linear);
    curve.setKey(0.0, ParamValue::of(0.0));
    curve.setKey(10.0, ParamValue::of(20.0));
    EXPECT_DOUBLE_EQ(curve.derivative(5.0).at(0), 2.0);
    EXPECT_DOUBLE_EQ(curve.derivative(0.0).at(0), 2.0);
    EXPECT_DOUBLE_EQ(curve.derivative(15.0).at(0), 0.0);
    EXPECT_DOUBLE_EQ(curve.derivative(-5.0).at(0), 0.0);
    // Triangle (100) plus the held value 20 for 5 frames.
    EXPECT_DOUBLE_EQ(curve.integral(0.0, 15.0).at(0), 200.0);
    EXPECT_DOUBLE_EQ(curve.integral(15.0, 0.0).at(0), -200.0);
    KeyframeCurve constant(ParamValue::of(3.0), Interpolation::Linear);
    EXPECT_DOUBLE_EQ(constant.integral(2.0, 6.0).at(0), 12.0);
}

TEST(KeyframeCurve, CopiesAnimationShiftedAndLimitedToARange) {
    KeyframeCurve source(ParamValue::of(0.0), Interpolation::Linear);
    for (double time : {0.0, 10.0, 20.0}) {
        source.setKey(time, ParamValue::of(time));
    }
    KeyframeCurve target(ParamValue::of(0.0), Interpolation::Linear);
    target.copyFrom(source, 100.0, std::make_pair(5.0, 25.0));
    EXPECT_EQ(target.keyCount(), 2u);
    EXPECT_EQ(target.keyTime(0), 110.0);
    EXPECT_DOUBLE_EQ(at(target, 115.0), 15.0);
}

} // namespace
