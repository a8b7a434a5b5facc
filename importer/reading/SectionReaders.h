#pragma once

#include "importer/model/ImportModel.h"
#include "importer/xml/XmlDocument.h"

namespace Importer {

// One reader per CEDXM section. Each takes the section element and appends
// records or overwrites single values of the model; missing elements give
// empty text, 0, or positive infinity for heights. None reports anything.
void readGridSection(XmlNode section, ImportModel& model);         // 入力点情報
void readFileInfoSection(XmlNode section, ImportModel& model);     // ファイル情報
void readProjectSection(XmlNode section, ImportModel& model);      // 物件情報
void readRoomSection(XmlNode section, ImportModel& model);         // 部屋情報
void readWallSection(XmlNode section, ImportModel& model);         // 壁情報
void readOuterLineSection(XmlNode section, ImportModel& model);    // 外壁線情報
void readOpeningSection(XmlNode section, ImportModel& model);      // 開口情報
void readStairSection(XmlNode section, ImportModel& model);        // 階段情報
void readRoofSection(XmlNode section, ImportModel& model);         // 屋根情報

// Hands every child of the root, in document order, to the reader of its
// section name; 出窓情報 (bay windows) and unknown names are passed over,
// and a section that occurs twice is read twice.
void readSections(XmlNode root, ImportModel& model);

// Fits an opening's span to the plan extent of its 3-D region: the
// direction read from 線分2D is kept, the region decides where the opening
// begins and ends along it and how wide it is.
void fitOpeningToRegion(ImportOpening& opening);

}  // namespace Importer
