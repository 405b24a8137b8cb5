// The board zoom dialog's choices: radio, value and control-bar command of each, both ways.
#pragma once
#include <cstdint>
#include <optional>

constexpr int kZoomFitWidth = 4096;
constexpr int kZoomFitPage = 8192;
constexpr int kZoomMin = 10;
constexpr int kZoomMax = 300;

struct ZoomChoice
{
    int nRadio;        // the dialog's radio button
    int nValue;        // what the board is given; 0 for the user's own percentage
    uint16_t wCommand; // the control bar's menu command
};
constexpr int kZoomChoiceCount = 11;
extern const ZoomChoice kZoomChoices[kZoomChoiceCount];

constexpr int kZoomRadioFirst = 1505;
constexpr int kZoomRadioUserSet = 1515;
constexpr uint16_t kZoomCommandFitWidth = 32949;
constexpr uint16_t kZoomCommandUserSet = 32987;

// The choice of a command; a command outside the table is fit to width.
const ZoomChoice& ZoomChoiceOfCommand(uint16_t wCommand);
// The choice of a radio button; none for another id.
const ZoomChoice* ZoomChoiceOfRadio(int nRadio);
// The command a zoom value stands for: a listed percentage or fit its own command, any other
// percentage from 10 to 300 the user's own; none for anything else.
std::optional<uint16_t> ResultZoom(int nValue);

// The zoom's owner, the control bar: its menu checks and the board's zoom.
class IZoomOwner
{
public:
    virtual ~IZoomOwner() = default;
    // With bChecked, stores wCommand as the zoom's command and checks its menu items, and with
    // bApply gives nValue to the board when it differs from the stored zoom; (0, 0, false, true)
    // unchecks the present item.
    virtual void CheckZoomItem(uint16_t wCommand, int nValue, bool bChecked, bool bApply) = 0;
    // The zoom value stored last.
    virtual int StoredZoom() const = 0;
    // The board's present zoom percentage.
    virtual int BoardZoomPercent() const = 0;
    // The zoom dialog's window went: the owner forgets its pointer.
    virtual void OnZoomDialogClosed() = 0;
};

// What the zoom dialog does with its choices: each applied at once through the owner, the
// user's own percentage on OK or Enter, and Cancel back to the zoom at opening.
class CZoomChoiceModel
{
public:
    CZoomChoiceModel(IZoomOwner& owner, uint16_t wCommandAtOpen, int nValueAtOpen);

    int SelectedRadio() const { return m_nSelected; }
    // 0..10: the selected choice's place in the table.
    int RadioIndex() const;
    bool IsUserSet() const { return m_nSelected == kZoomRadioUserSet; }
    // The edit box's text for the selected choice: the percentage of a listed one, the value at
    // opening for the user's own, none (left alone) for fit width or page.
    std::optional<int> EditValue() const;
    // A radio was chosen; nEditValue is the box's number, applied only later for the user's own.
    void Choose(int nRadio, int nEditValue);
    // OK with the box's number (none: not a number): false when it is outside 10..300 (the error
    // is shown and the dialog stays).
    bool Ok(std::optional<int> number);
    // Enter, or the spin button released: the number applied with the selection's command; false
    // when outside 10..300.
    bool Enter(std::optional<int> number);
    // Cancel or the close box: the selection and zoom at opening come back.
    void Cancel();

private:
    void Apply(uint16_t wCommand, int nValue, bool bApply);

    IZoomOwner& m_owner;
    int m_nSelected;
    int m_nRadioAtOpen;
    int m_nValueAtOpen;
};
