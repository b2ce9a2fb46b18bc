#include "editor/controls/parameter_controls.h"

#include "editor/controls/assignment_menu.h"
#include "editor/controls/bank_lists.h"
#include "editor/controls/additive_harmonics_editor.h"
#include "editor/controls/buttons.h"
#include "editor/controls/choice_menus.h"
#include "editor/controls/control_registry.h"
#include "editor/controls/curve_editor_base.h"
#include "editor/controls/database_browser.h"
#include "editor/controls/envelope_editor.h"
#include "editor/controls/name_displays.h"
#include "editor/controls/numeric_displays.h"
#include "editor/controls/page_selector.h"
#include "editor/controls/scroll_list.h"
#include "editor/controls/slider_or_knob.h"
#include "editor/controls/static_text.h"
#include "editor/controls/value_displays.h"
#include "editor/controls/waveform_views.h"

namespace pelko {
namespace {

template <class T, class... Extra>
ControlCreator creator(Extra... extra)
{
    return [extra...](ControlListener* listener, int tag) {
        return Ref<View>::adopt(new T(listener, tag, extra...));
    };
}

struct Registration {
    const char* name;
    ControlCreator create;
};

std::vector<Registration> registrations()
{
    using PD = ParameterDisplay;
    return {
        {"SliderOrKnob", creator<SliderOrKnob>()},
        {"PitchSliderOrKnob", creator<PitchSliderOrKnob>()},
        {"SeqNoteSliderOrKnob", creator<SeqNoteSliderOrKnob>()},
        {"MyUserControlSliderOrKnob", creator<UserControlSliderOrKnob>()},
        {"BitmapParamDisplayer", creator<ParameterDisplay>(PD::Kind::kParameter)},
        {"UserControlTextDisplayer", creator<UserControlTextDisplay>()},
        {"SeqNoteDisplayer", creator<ParameterDisplay>(PD::Kind::kSeqNote)},
        {"MatrixParamDisplayer", creator<MatrixDisplay>()},
        {"MatrixRingModDisplayer", creator<MatrixDisplay>()},
        {"EffectParamDisplayer", creator<ParameterDisplay>(PD::Kind::kEffect)},
        {"UserAssignmentMinValue", creator<AssignmentRangeDisplay>()},
        {"CMDisplayer", creator<NumericPanelDisplay>(NumericPanelDisplay::Format::kRatio)},
        {"PitchBaseDisplayer", creator<NumericPanelDisplay>(NumericPanelDisplay::Format::kFrequency)},
        {"CurrentPresetNameDisplayer", creator<ProgramNameDisplay>()},
        {"TuningScaleDisplayer", creator<TuningScaleDisplay>()},
        {"UserCommentDisplayer", creator<EditableTextDisplay>(std::string("UserCommentEditor"))},
        {"PresetAuthorDisplayer", creator<EditableTextDisplay>(std::string("PresetAuthorEditor"))},
        {"KickButton", creator<KickButton>()},
        {"OnOffButton", creator<OnOffButton>()},
        {"ThreeStatesButton", creator<ThreeStatesButton>()},
        {"WaveshaperOnOffButton", creator<WaveshaperOnOffButton>()},
        {"GlobalTuningButton", creator<GlobalTuningButton>()},
        {"Tabs", creator<PageSelector>()},
        {"StaticText", creator<StaticText>()},
        {"OscShapeMenu", creator<ChoiceMenu>(ChoiceMenu::Kind::kWave)},
        {"FilterModeMenu", creator<ChoiceMenu>(ChoiceMenu::Kind::kFilterMode)},
        {"EffectTypeMenu", creator<ChoiceMenu>(ChoiceMenu::Kind::kEffectType)},
        {"InfoScrollList", creator<InfoScrollList>()},
        {"OscEnvDisplayer", creator<EnvelopeEditor>()},
        {"FilterEnvDisplayer", creator<EnvelopeEditor>()},
        {"CurveSegmentDisplayer", creator<CurveSegmentEditor>()},
        {"WaveshaperDisplayer", creator<WaveshaperEditor>()},
        // The bank and the preset library.
        {"BankScrollList", creator<BankScrollList>()},
        {"DatabaseBrowser", creator<DatabaseBrowser>()},
        {"BankNameMenu", creator<BankNameMenu>()},
        {"UserAssignmentControlMenu", creator<AssignmentMenu>()},
        {"AdditiveHarmonicsEditor", creator<AdditiveHarmonicsEditor>()},
        {"AdditiveWaveformEditor", creator<AdditiveWaveformEditor>()},
        {"OscWaveformDisplayer", creator<OscWaveformDisplayer>()},
    };
}

}  // namespace

const std::vector<std::string>& parameterControlTypes()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const Registration& r : registrations()) {
            all.emplace_back(r.name);
        }
        return all;
    }();
    return names;
}

void registerParameterControls()
{
    ControlRegistry& registry = ControlRegistry::shared();
    for (Registration& r : registrations()) {
        registry.add(r.name, std::move(r.create));
    }
}

}  // namespace pelko
