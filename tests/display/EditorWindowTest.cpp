#include "support/EditorWindow.h"
#include "support/PixelProbe.h"
#include "support/ScreenGrab.h"

#include <gtest/gtest.h>

#include <vector>

/*  The plug-in's editor in a real window under Xvfb, made and driven as the
    Standalone and a user would: what the X server shows, the mouse through the
    window's peer, and a host opening and closing the editor window.
*/
namespace
{
/** Remembers the presses, drags and releases that reach a component or any
    component inside it. */
class GestureRecorder : public juce::MouseListener
{
public:
    struct Event
    {
        char kind;                      // 'd'own, 'm'oved while pressed, 'u'p
        juce::Component* target;        // the component JUCE sent it to
        juce::Point<int> position;      // in the root's coordinates
        juce::Point<int> start;         // where the gesture began, in the root's coordinates
    };

    explicit GestureRecorder (juce::Component& rootToWatch) : root (rootToWatch) { root.addMouseListener (this, true); }
    ~GestureRecorder() override { root.removeMouseListener (this); }

    void mouseDown (const juce::MouseEvent& e) override  { record ('d', e); }
    void mouseDrag (const juce::MouseEvent& e) override  { record ('m', e); }
    void mouseUp (const juce::MouseEvent& e) override    { record ('u', e); }

    juce::String getKinds() const
    {
        juce::String kinds;

        for (const auto& event : events)
            kinds << event.kind;

        return kinds;
    }

    std::vector<Event> events;

private:
    void record (char kind, const juce::MouseEvent& e)
    {
        const auto relative = e.getEventRelativeTo (&root);
        events.push_back ({ kind, e.eventComponent, relative.getPosition(), relative.getMouseDownPosition() });
    }

    juce::Component& root;
};
} // namespace

TEST (EditorWindow, TheScreenShowsTheEditorAsItPaintsItself)
{
    EditorWindow window;
    ASSERT_TRUE (window.open());

    const auto expected = renderComponent (*window.getEditor());
    juce::String failure;
    juce::Image screen;

    // The X server shows the window once its first paint has been put there.
    const auto shown = runMessageLoopUntil ([&]
    {
        screen = ScreenGrab::grabScreen (&failure);
        return ScreenGrab::getMatchingShare (screen, window.getScreenBounds().getPosition(), expected) > 0.99;
    }, 10000);

    ASSERT_TRUE (screen.isValid()) << failure;
    EXPECT_TRUE (shown) << "the editor's window shows "
                        << ScreenGrab::getMatchingShare (screen, window.getScreenBounds().getPosition(), expected)
                        << " of the editor's own picture";
}

TEST (EditorWindow, ADragThroughThePeerReachesThePressedComponentAsOneGesture)
{
    EditorWindow window;
    ASSERT_TRUE (window.open());

    // The host's editor wraps the plug-in's own: press the middle of that.
    auto& editor = *window.getEditor();
    ASSERT_EQ (editor.getNumChildComponents(), 1);
    const auto from = window.getCentreOf (*editor.getChildComponent (0)), to = from - juce::Point<int> (0, 60);
    auto* pressed = editor.getComponentAt (from);
    ASSERT_NE (pressed, nullptr);

    GestureRecorder recorder (editor);
    window.drag (from, to, 4);

    ASSERT_EQ (recorder.getKinds(), "dmmmmu");

    for (const auto& event : recorder.events)
    {
        EXPECT_EQ (event.target, pressed) << "every event of the gesture goes to the pressed component";
        EXPECT_EQ (event.start, from);
    }

    EXPECT_EQ (recorder.events[2].position, from - juce::Point<int> (0, 30));
    EXPECT_EQ (recorder.events.back().position, to);
}

TEST (EditorWindow, OpeningAndClosingFiftyTimesShowsTheSameEditorAndLeavesNoWindowBehind)
{
    EditorWindow window;
    auto& desktop = juce::Desktop::getInstance();
    const auto componentsBefore = desktop.getNumComponents();
    const auto peersBefore = juce::ComponentPeer::getNumPeers();
    juce::Component* firstContent = nullptr;

    for (int cycle = 0; cycle < 50; ++cycle)
    {
        ASSERT_TRUE (window.open()) << "cycle " << cycle;
        ASSERT_EQ (desktop.getNumComponents(), componentsBefore + 1);

        // The host's editor only wraps the plug-in's one editor, which lives on.
        auto& editor = *window.getEditor();
        ASSERT_EQ (editor.getNumChildComponents(), 1);

        if (firstContent == nullptr)
            firstContent = editor.getChildComponent (0);

        ASSERT_EQ (editor.getChildComponent (0), firstContent) << "cycle " << cycle;
        EXPECT_TRUE (firstContent->isVisible());

        window.close();
        ASSERT_EQ (desktop.getNumComponents(), componentsBefore) << "cycle " << cycle;
        ASSERT_EQ (juce::ComponentPeer::getNumPeers(), peersBefore) << "cycle " << cycle;
        EXPECT_FALSE (firstContent->isVisible()) << "a closed window hides the editor";
    }
}
