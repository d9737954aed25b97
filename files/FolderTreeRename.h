#pragma once

#include <QString>

class TreeNode;

// Gives the file or folder of a node the name typed as its label, on disk and in the
// tree (key and text). The label is cleaned first (see fileNameFromLabel) and
// changed in place, so that the tree shows the name the file got. A taken name is
// never replaced; an empty label renames nothing. Returns the failure's description, or "" on success; steps done
// before a failure stay done.
QString renameFromLabel(const TreeNode &node, QString &label);
