#pragma once
// The inputs and levels rows shared by the two trigger dialogs: six one-character boxes under
// the column labels, most significant input on the left.
#include <array>
#include <string>

class QGridLayout;
class QLineEdit;
class QWidget;

class TriggerBoxes {
  public:
    // Adds the rows and their labels to `grid` from `row` on; returns the next free row.
    int build(QWidget* owner, QGridLayout* grid, int row);
    // Texts of the boxes in the order IN1, IN2, IN3, LEV1, LEV2, LEV3.
    std::array<std::string, 6> texts() const;

  private:
    std::array<QLineEdit*, 6> boxes_{};
};

// Texts both trigger dialogs share (the rows and the buttons), by language.
struct TextRow;
extern const TextRow TriggerRowTexts[6];
