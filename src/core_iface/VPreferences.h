// The preferences tree of the program and its file "Corvantile.xml".
//
// Each window or control keeps its settings in a node of its own: a name, named parameters and
// named children. A node belongs to whoever created it until it is added to a parent; freeing
// the root (deleteThis) frees the whole tree. Nodes are made only by createInstance and by the
// tree itself; what lies underneath is the support library's portable preferences tree.
#pragma once

#include "framework/CString.h"

class VPreferencesNode {
public:
    // A new empty node that the caller owns.
    static VPreferencesNode* createInstance(const char* name);
    // Frees this node with all its children; a node that is still in a tree leaves it first.
    void deleteThis();

    // The parent takes the child over. A null child, one that already has a parent, and this
    // node or one of its ancestors are refused (false; the caller still owns the child).
    bool addChild(VPreferencesNode* child);
    // The first child of that name, or null.
    VPreferencesNode* getChild(const char* name) const;
    int getChildCount() const;
    VPreferencesNode* getChildAt(int index) const; // null when out of range
    CString getName() const;

    // True with the value stored when the key exists and its text is a value of that type;
    // otherwise false, and the variable keeps what it held.
    bool getParam(const char* key, int& value) const;
    bool getParam(const char* key, unsigned& value) const;
    bool getParam(const char* key, unsigned long& value) const; // a DWORD, 32 bits on Windows
    bool getParam(const char* key, bool& value) const;
    bool getParam(const char* key, CString& value) const;

    void setParam(const char* key, int value);
    void setParam(const char* key, unsigned value);
    void setParam(const char* key, unsigned long value);
    void setParam(const char* key, bool value);
    void setParam(const char* key, const char* value);

protected:
    VPreferencesNode() = default;
    // Only deleteThis (or the parent) frees a node.
    virtual ~VPreferencesNode() = default;
    VPreferencesNode(const VPreferencesNode&) = delete;
    VPreferencesNode& operator=(const VPreferencesNode&) = delete;
};

// Loading and saving the preferences file. Both calls are static; an object may still be made
// around them in the classic style.
class VPreferences {
public:
    // The document node of the file, whose children are the saved trees: after
    // save(file, root), load(file)->getChild(root's name) is that tree. Null on a first run
    // (no file) and when neither the file nor its backup can be read; a damaged file is kept
    // aside as "<file>.corrupt-<date>-<time>". The caller frees the result with deleteThis.
    static VPreferencesNode* load(const CString& fileName);
    // Writes the tree with root at its top, atomically, keeping the previous good file as
    // "<file>.bak". True when the file now holds the tree.
    static bool save(const CString& fileName, VPreferencesNode* root);
};
