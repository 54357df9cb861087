// Font collections: the fonts installed on the system, and fonts a program loads from files for itself.
// Included by Gdiplus.h inside namespace Gdiplus, after FontFamily; not to be included on its own.
#pragma once

/// A set of font families, listed by GetFamilies.
class FontCollection : public GdiplusBase, public StatusKeeper {
public:
    virtual ~FontCollection() = default;
    FontCollection(const FontCollection&) = delete;
    FontCollection& operator=(const FontCollection&) = delete;

    /// How many families the collection holds.
    INT GetFamilyCount() const;
    /// Fills up to numSought families (each the caller's, released with it) and says how many in numFound.
    Status GetFamilies(INT numSought, FontFamily* gpfamilies, INT* numFound) const;

    /// The engine's own collection, for the platform layer.
    DllExports::GpFontCollection* NativeCollection() const { return nativeCollection; }

protected:
    FontCollection() = default;
    DllExports::GpFontCollection* nativeCollection = nullptr;
};

/// The families installed on the system, as fontconfig lists them.
class InstalledFontCollection : public FontCollection {
public:
    InstalledFontCollection();
};

/// Families from font files the program adds; they are drawn like installed ones.
class PrivateFontCollection : public FontCollection {
public:
    PrivateFontCollection();
    ~PrivateFontCollection() override;
    /// Adds the fonts of the file: FileNotFound when there is no readable regular file, and
    /// InvalidParameter when it holds no font.
    Status AddFontFile(const WCHAR* filename);
};
