#include "measure/PrimaryDisplay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

namespace vireon {
namespace {

// A result of `points` points: sampled types carry one column, the others x and a magnitude.
TDataMeas Result(std::uint8_t data_type, int points) {
  TDataMeas record;
  record.FDataType = data_type;
  record.FNumPoints = points;
  record.FSampleRate = 48000;
  DataArray values(points);
  for (int i = 0; i < points; ++i) values[i] = 1.0 + std::sin(0.1 * i);
  if (record.IsSampled()) {
    record.FNumFields = 1;
    record.FFields[0].Values = values;
  } else {
    record.FNumFields = 2;
    record.FFields[0].Values.resize(points);
    for (int i = 0; i < points; ++i) record.FFields[0].Values[i] = 10.0 * (i + 1);
    record.FFields[1].Values = values;
  }
  return record;
}

WeightingLoader NoWeightings() {
  return [](const std::string&) { return std::optional<TWeighting>(); };
}

TEST(PrimaryDisplay, ResultsGetTheDefaultViewOnceAndKeepTheUsersViewAfterwards) {
  TDataMeas initial = Result(0, 16);
  initial.FTitle = "initial";
  PrimaryDisplay display(initial, NoWeightings(), 0);
  EXPECT_EQ(display.Shown().FTitle, "initial");
  EXPECT_FALSE(display.CanToggle());

  display.SetDomain(PrimaryDisplay::Domain::kFrequency);
  display.TakeResults(TDataMeas(), Result(0, 480));  // no frequency result yet
  TDataMeas* time_record = &display.Shown();
  EXPECT_EQ(display.ShownDomain(), PrimaryDisplay::Domain::kTime);
  EXPECT_EQ(time_record->FNumDivisions, 8);
  EXPECT_DOUBLE_EQ(time_record->FViewStop, 479.0 / 48000);  // the whole record, not the initial

  time_record->FViewStop = 0.002;  // the user zooms in
  time_record->FNumDivisions = 4;
  display.TakeResults(TDataMeas(), Result(0, 480));
  EXPECT_EQ(&display.Shown(), time_record);
  EXPECT_DOUBLE_EQ(display.Shown().FViewStop, 0.002);
  EXPECT_EQ(display.Shown().FNumDivisions, 4);

  display.TakeResults(TDataMeas(), Result(6, 480));  // another data type: a new view
  EXPECT_EQ(display.Shown().FNumDivisions, 8);

  display.TakeResults(Result(1, 200), Result(6, 480));  // the chosen domain as soon as it can
  EXPECT_EQ(display.ShownDomain(), PrimaryDisplay::Domain::kFrequency);
  EXPECT_TRUE(display.CanToggle());
  display.Toggle();
  EXPECT_EQ(display.ShownDomain(), PrimaryDisplay::Domain::kTime);
  display.Toggle();
  EXPECT_EQ(display.ShownDomain(), PrimaryDisplay::Domain::kFrequency);
}

// Switching acquisition types keeps each type's view: back on a type, its next result is shown
// as it was left, while a type never shown gets the default view.
TEST(PrimaryDisplay, EachAcquisitionTypeKeepsTheViewOfItsResults) {
  PrimaryDisplay display(Result(0, 16), NoWeightings(), 8);
  display.SetDomain(PrimaryDisplay::Domain::kFrequency);
  display.TakeResults(Result(1, 200), Result(0, 480));
  display.Shown().FNumDivisions = 4;  // the user's view of type 8
  display.Shown().FFields[1].PerDiv = 2.5;

  display.SelectAcquisition(9);
  display.TakeResults(Result(1, 200), Result(0, 480));
  EXPECT_EQ(display.Shown().FNumDivisions, 8);  // type 9: the default view
  display.Shown().FNumDivisions = 6;

  display.SelectAcquisition(8);
  display.TakeResults(Result(1, 200), Result(0, 480));
  EXPECT_EQ(display.Shown().FNumDivisions, 4);
  EXPECT_EQ(display.Shown().FFields[1].PerDiv, 2.5);
  display.SelectAcquisition(9);
  display.TakeResults(Result(1, 200), Result(0, 480));
  EXPECT_EQ(display.Shown().FNumDivisions, 6);

  // A kept view of another data type is not forced onto a result.
  display.SelectAcquisition(8);
  display.TakeResults(Result(3, 200), Result(0, 480));
  EXPECT_EQ(display.Shown().FDataType, 3);
  EXPECT_EQ(display.Shown().FNumDivisions, 8);
}

// A loaded pre-format shows the next result of its data type, once.
TEST(PrimaryDisplay, APreFormatShowsTheNextResultOfItsTypeOnce) {
  TDataMeas formatted = Result(1, 200);
  formatted.FNumDivisions = 5;
  formatted.FViewStart = 100.0;
  formatted.FViewStop = 1000.0;
  PrimaryDisplay display(Result(0, 16), NoWeightings(), 8);
  display.SetDomain(PrimaryDisplay::Domain::kFrequency);
  display.SetPreFormat(CapturePlotFormat(formatted));

  display.TakeResults(Result(3, 200), Result(0, 480));  // another type: kept for later
  EXPECT_EQ(display.Shown().FNumDivisions, 8);
  display.TakeResults(Result(1, 200), Result(0, 480));
  EXPECT_EQ(display.Shown().FNumDivisions, 5);
  EXPECT_EQ(display.Shown().FViewStart, 100.0);
  EXPECT_EQ(display.Shown().FViewStop, 1000.0);

  display.SelectAcquisition(9);  // used up: a new view is the default one
  display.TakeResults(Result(1, 200), Result(0, 480));
  EXPECT_EQ(display.Shown().FNumDivisions, 8);
}

// What a configuration saves: every type's kept view, the current type's from its shown results.
// A display that takes them back shows each type's next results in them.
TEST(PrimaryDisplay, KeptViewsCarryOverToAnotherDisplay) {
  PrimaryDisplay display(Result(0, 16), NoWeightings(), 8);
  display.SetDomain(PrimaryDisplay::Domain::kFrequency);
  display.TakeResults(Result(1, 200), Result(0, 480));
  display.Shown().FNumDivisions = 4;
  display.SelectAcquisition(4);
  display.TakeResults(Result(2, 200), Result(0, 480));
  display.Shown().FNumDivisions = 5;  // shown, not yet kept

  const AcquisitionViews views = display.KeptViews();
  ASSERT_TRUE(views.frequency[8] && views.frequency[4] && views.time[8] && views.time[4]);
  EXPECT_EQ(views.frequency[8]->VNumDiv, 4);
  EXPECT_EQ(views.frequency[4]->VNumDiv, 5);
  EXPECT_EQ(views.frequency[4]->DataType, 2);
  EXPECT_FALSE(views.frequency[9].has_value());

  AcquisitionViews taken = views;
  taken.time[8]->HStop = taken.time[8]->HStart;  // an empty range cannot be shown
  PrimaryDisplay fresh(Result(0, 16), NoWeightings(), 8);
  fresh.SetKeptViews(taken);
  EXPECT_FALSE(fresh.KeptViews().time[8].has_value());
  EXPECT_EQ(fresh.KeptViews().frequency, views.frequency);
  fresh.SetDomain(PrimaryDisplay::Domain::kFrequency);
  fresh.TakeResults(Result(1, 200), Result(0, 480));
  EXPECT_EQ(fresh.Shown().FNumDivisions, 4);
  fresh.SelectAcquisition(4);
  fresh.TakeResults(Result(2, 200), Result(0, 480));
  EXPECT_EQ(fresh.Shown().FNumDivisions, 5);
}

// Right after a change of type the plot still shows the previous type's result: that view is
// not the new type's.
TEST(PrimaryDisplay, ATypeWithoutResultsKeepsNoViewOfAnother) {
  PrimaryDisplay display(Result(0, 16), NoWeightings(), 8);
  display.SetDomain(PrimaryDisplay::Domain::kFrequency);
  display.TakeResults(Result(1, 200), Result(0, 480));
  display.Shown().FNumDivisions = 4;
  display.SelectAcquisition(9);
  EXPECT_FALSE(display.KeptViews().frequency[9].has_value());
  display.SelectAcquisition(10);
  const AcquisitionViews views = display.KeptViews();
  EXPECT_FALSE(views.frequency[9].has_value());
  ASSERT_TRUE(views.frequency[8].has_value());
  EXPECT_EQ(views.frequency[8]->VNumDiv, 4);

  display.SelectAcquisition(9);
  display.TakeResults(Result(1, 200), Result(0, 480));
  EXPECT_EQ(display.Shown().FNumDivisions, 8);  // the default view, not type 8's
}

// A configuration loaded while the current type shows results: its view of that type shows
// from the next result on, after which the user's changes are kept again.
TEST(PrimaryDisplay, ALoadedViewOfTheCurrentTypeShowsOnItsNextResult) {
  PrimaryDisplay display(Result(0, 16), NoWeightings(), 8);
  display.SetDomain(PrimaryDisplay::Domain::kFrequency);
  display.TakeResults(Result(1, 200), Result(0, 480));
  AcquisitionViews views = display.KeptViews();
  views.frequency[8]->VNumDiv = 7;
  display.SetKeptViews(views);
  display.TakeResults(Result(1, 200), Result(0, 480));
  EXPECT_EQ(display.Shown().FNumDivisions, 7);
  display.Shown().FNumDivisions = 3;
  display.TakeResults(Result(1, 200), Result(0, 480));
  EXPECT_EQ(display.Shown().FNumDivisions, 3);
}

}  // namespace
}  // namespace vireon
