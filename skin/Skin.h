#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_graphics/juce_graphics.h>

#include <memory>
#include <unordered_map>

class GFXPanel;
class GuiEventsMap;
class ParameterManager;

/**
    The source of the editor's main panel and of every skinned control's
    images: either the default skin ("skin.xml" and its pictures among the
    plug-in's own resources) or a ".ulvraskin" package in the skins folder.

    A package is a zip archive holding the skin name + ".skin" (a zip archive
    with "skin.xml" and the pictures) and the skin name + ".md5" (that entry's
    MD5 digest as 32 hexadecimal digits). Entry names are only ever looked up
    in the archives; none reaches the file system.

    A Skin is short-lived and used on the message thread only: the editor makes
    one, builds its panel and lets it go. Each picture is decoded once per Skin.
    Failures give null results; what the panel build found wrong in the skin
    (missing pictures, unknown parameters, events or tags) is kept as warnings.
*/
class Skin
{
public:
    /** What a skin needs of the editor that asked for it; the base editor implements it. */
    class Editor
    {
    public:
        virtual ~Editor() = default;

        /** Compared, ignoring case, with the "application" of "skin.xml". */
        virtual juce::String getPluginName() const = 0;
        virtual ParameterManager& getParameterManager() = 0;
        virtual GuiEventsMap& getEventsMap() = 0;

        /** The plug-in's keyboard state, which the on-screen keyboard plays into. */
        virtual juce::MidiKeyboardState& getKeyboardState() = 0;

        /** The folder of the ".ulvraskin" packages: "Skins" in the plug-in's common settings folder. */
        virtual juce::File getSkinsDirectory() const = 0;
    };

    static constexpr const char* packageExtension = ".ulvraskin";

    /** An empty name means the default skin. */
    Skin (Editor& editor, const juce::String& name);
    ~Skin();

    const juce::String& getName() const noexcept            { return name; }
    Editor& getEditor() const noexcept                      { return editor; }
    ParameterManager& getParameterManager() const;
    GuiEventsMap& getEventsMap() const;
    juce::MidiKeyboardState& getKeyboardState() const;

    /** The package of a skin name in a skins folder: the name with the package
        extension added, so that a name holding a dot opens the file it was
        listed from. A non-existent file for a name that is empty, ".", absolute
        or holds "/", "\\" or "..", so that no name reaches outside the folder. */
    static juce::File getPackageFile (const juce::File& skinsDirectory, const juce::String& name);

    /** True when the name is not empty and its package opens: file present,
        both entries present, digest matching, inner archive readable. */
    static bool isValidPackage (Editor& editor, const juce::String& name);

    /** Opens the package once (the second call answers from the first); true
        when the inner archive is ready, as isValidPackage says. Whoever checks
        a package before building its panel asks the same Skin, so that the
        package is read and its digest computed once. */
    bool openPackage();

    /** Builds the editor's main panel ("MainEditorPanel") from the skin's
        "skin.xml"; null when the skin or its description is unusable, and
        (with a warning) when the description has more than
        maxDescriptionElements elements, its main panel more than
        GFXPanel::maxControls controls, or the package goes past one of its
        budgets (maxInflatedBytes, maxDecodedBytes, maxDecodeWork). */
    std::unique_ptr<GFXPanel> createEditorPanel();

    /** Builds the main panel from a parsed "skin.xml": the root must be
        "PluginEditor" of this plug-in, with a "Panel" named "MainPanel" of no
        more than GFXPanel::maxControls controls and panels (else null, with a
        warning, before any control is built). */
    std::unique_ptr<GFXPanel> createPanelFromXml (const juce::XmlElement& root);

    /** A picture that a control asks for: from the package while a package's
        panel is being built, else from the resources. A null image, and a
        warning, when it is missing, cannot be decoded or is of a kind skins
        do not take (a GIF, a JPEG of too many scans). */
    juce::Image getImage (const juce::String& fileName);

    /** A picture inside the package (the skin-choice page's previews); a null
        image when the package does not open or lacks a decodable picture of
        that name, and for every picture once the package goes past one of its
        budgets. Each picture's size and work are taken from its header and
        segments before it is decoded. */
    juce::Image getPackageImage (const juce::String& fileName);

    /** What building panels found wrong in the skin, in the order found. */
    const juce::StringArray& getWarnings() const noexcept   { return warnings; }
    void addWarning (const juce::String& warning);

    /** A panel's loader calls these around its controls: false once panels
        nest deeper than the limit, whose controls are then left out. Every
        enterPanel is paired with a leavePanel. */
    bool enterPanel (int maxDepth) noexcept                 { return ++panelDepth <= maxDepth; }
    void leavePanel() noexcept                              { --panelDepth; }

    /** What the package's entries and pictures took so far, in the units of
        their budgets. */
    juce::int64 getInflatedBytes() const noexcept           { return inflatedBytes; }
    juce::int64 getDecodedBytes() const noexcept            { return decodedBytes; }
    juce::int64 getDecodeWork() const noexcept              { return decodeWork; }

    //==========================================================================
    /** Limits on what a package may hold: an entry beyond them is treated as
        unreadable. The ".skin" archive is inflated and its digest computed
        whole when the package opens (0.1 s at this size where the limits were
        measured); the default skin's would take 0.8 MB. */
    static constexpr juce::int64 maxSkinArchiveBytes = 16 * 1024 * 1024;
    static constexpr juce::int64 maxEntryBytes = 16 * 1024 * 1024;

    /** A ".skin" archive of more entries is unreadable: the toolkit spends a
        few microseconds on each when it opens the archive. Twice the most
        controls a skin may have, each with a picture of its own. So is one
        whose central records share a local entry: each of their names would
        inflate it again. */
    static constexpr int maxSkinArchiveEntries = 8192;

    /** A "skin.xml" of more elements is refused before it is parsed. The
        default skin has 1,114 for its 138 controls; this gives each of the
        most controls a skin may have (GFXPanel::maxControls) twice as many. */
    static constexpr int maxDescriptionElements = 65536;

    /** What the entries of one package may inflate to together, each read
        once: past it the package is refused whole. Every picture name of
        "skin.xml" costs its entry's inflation, picture or not (0.03 s at
        most here). The default skin's entries take 0.8 MB. */
    static constexpr juce::int64 maxInflatedBytes = 16 * 1024 * 1024;

    /** What the decoded pictures of one package may take together; a package
        whose pictures need more is refused whole. The default skin's pictures
        take 6.5 MB for its 1100 x 612 panel, 5 % of this, while a few small
        pictures declaring huge sizes cannot take gigabytes. */
    static constexpr juce::int64 maxDecodedBytes = 128 * 1024 * 1024;

    /** The work of decoding one package's pictures together, in the units
        of SkinImageDecoder::Cost::work (25 to 30 ns each here, so 0.2 s at
        most); a package whose pictures need more is refused whole. The
        default skin's pictures take 1.6 Mi of it (26 %). */
    static constexpr juce::int64 maxDecodeWork = 6 * 1024 * 1024;

private:
    enum class Source
    {
        idle,
        resources,
        package
    };

    /** An entry of the inner archive, read whole; null when it is absent or
        too large, and once the entries read together would pass
        maxInflatedBytes (the package is then over budget). */
    std::unique_ptr<juce::MemoryBlock> readSkinEntry (const juce::String& entryName);

    /** Marks the package as refused whole, with the warning that says why. */
    void refuseOverBudget (const juce::String& warning);
    juce::String getInflationWarning() const;

    /** getPackageImage, telling why a picture it reads for the first time is
        refused for what it is. */
    juce::Image readPackageImage (const juce::String& fileName, juce::String& refusal);

    Editor& editor;
    const juce::String name;
    Source source = Source::idle;
    bool packageOpened = false, overBudget = false;
    juce::String budgetWarning;
    int panelDepth = 0;
    juce::int64 inflatedBytes = 0, decodedBytes = 0, decodeWork = 0;

    juce::MemoryBlock skinData;
    std::unique_ptr<juce::ZipFile> skinArchive;

    /** The inner archive's entries by exact name, the first of equal names
        as the archive's own look-up finds it, so that each picture is found
        without a walk through every entry. */
    std::unordered_map<juce::String, int> skinEntries;

    std::unordered_map<juce::String, juce::Image> resourceImages, packageImages;
    juce::StringArray warnings;

    JUCE_DECLARE_NON_COPYABLE (Skin)
};
