#include "gui/dialogs/AllProperties.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/Interaction.h"
#include "common/Messages.h"
#include "fractal/FormulaTable.h"
#include "gui/HelpWindow.h"
#include "gui/dialogs/DlgColorPalette1D.h"
#include "gui/widgets/ColorBox.h"
#include "gui/widgets/ColorSwatch.h"
#include "gui/widgets/PaletteStrip.h"

namespace {

const QStringList kSensitivities = {"Low (Kwadratic)", "Normal (Linear)", "High (Square root)",
                                    "Very High (Fourth root)", "Custom, Exponent:"};

template <typename W>
W* Named(W* widget, const char* name, const QString& caption) {
  widget->setObjectName(name);
  widget->setAccessibleName(caption);
  return widget;
}

QString QText(const std::string& text) { return QString::fromStdString(text); }

// Enabled edits get the window background, disabled ones the button face; the text stays.
void SetEditEnabled(QLineEdit* edit, bool enabled) {
  QPalette palette = edit->palette();
  const QPalette& scheme = QApplication::palette();
  palette.setColor(QPalette::Base, enabled ? scheme.color(QPalette::Base)
                                           : scheme.color(QPalette::Button));
  edit->setPalette(palette);
  edit->setEnabled(enabled);
}

// A label and a widget in the next row of grid.
void AddRow(QGridLayout* grid, const QString& caption, QWidget* widget) {
  const int row = grid->rowCount();
  grid->addWidget(new QLabel(caption), row, 0);
  grid->addWidget(widget, row, 1);
}

}  // namespace

TAllProperties::TAllProperties(QWidget* owner, TFractViewProps& view, int windowHeight,
                               int windowWidth, TFractProps& fract, Services services)
    : QDialog(owner),
      view_(view),
      fract_(fract),
      viewCopy_(view),
      fractCopy_(fract),
      windowHeight_(windowHeight),
      windowWidth_(windowWidth),
      services_(std::move(services)) {
  setObjectName("AllProperties");
  setWindowTitle("Properties Fractal");
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("pages");
  tabs_->addTab(FormulaPage(), "Formula");
  tabs_->addTab(ScanningPage(), "Scanning");
  tabs_->addTab(DepthPage(), "Depth");
  tabs_->addTab(OutsidePage(), "Outside");
  tabs_->addTab(InsidePage(), "Inside");
  tabs_->addTab(MiscPage(), "Misc");
  tabs_->setCurrentIndex(1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  AddHelpButton(*buttons, "properties");
  connect(buttons, &QDialogButtonBox::accepted, this, &TAllProperties::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(buttons);
  FillFields();
}

TAllProperties::~TAllProperties() = default;

QLineEdit* TAllProperties::Edit(const char* name, const QString& caption) {
  auto* edit = Named(new QLineEdit, name, caption);
  edit->installEventFilter(this);
  edits_[name] = edit;
  return edit;
}

QGroupBox* TAllProperties::RadioGroup(const char* name, const QString& caption,
                                      const QStringList& choices) {
  auto* box = Named(new QGroupBox(caption), name, caption);
  auto* grid = new QGridLayout(box);
  auto* group = new QButtonGroup(box);
  for (int i = 0; i < choices.size(); ++i) {
    auto* button = new QRadioButton(choices[i]);
    button->setAccessibleName(choices[i]);
    group->addButton(button, i);
    grid->addWidget(button, i, 0);
  }
  radioGroups_[name] = group;
  return box;
}

int TAllProperties::RadioIndex(const char* name) const {
  return std::max(0, radioGroups_.at(name)->checkedId());
}

void TAllProperties::SetRadioIndex(const char* name, int index) {
  if (QAbstractButton* button = radioGroups_.at(name)->button(index)) button->setChecked(true);
}

QString TAllProperties::Text(const char* edit) const { return edits_.at(edit)->text(); }

void TAllProperties::SetText(const char* edit, const std::string& text) {
  edits_.at(edit)->setText(QText(text));
}

QWidget* TAllProperties::FormulaPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  lstFormulas_ = Named(new QListWidget, "lstFormulas", "Formula");
  for (int i = 0; i < kFormulaCount; ++i) {
    const std::string_view text = GetFormula(i).listText;
    lstFormulas_->addItem(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
  }
  grid->addWidget(lstFormulas_, 0, 0, 4, 1);

  auto* map = Named(new QGroupBox("Map to Field"), "grpMapToField", "Map to Field");
  auto* mapLayout = new QHBoxLayout(map);
  optZ_ = Named(new QRadioButton("Z"), "optZ", "Z");
  optC_ = Named(new QRadioButton("C"), "optC", "C");
  optD_ = Named(new QRadioButton("D"), "optD", "D");
  for (QRadioButton* button : {optZ_, optC_, optD_}) {
    mapLayout->addWidget(button);
    connect(button, &QRadioButton::toggled, this, [this] { UpdateEnabledFields(); });
  }
  grid->addWidget(map, 0, 1);
  const struct {
    const char* group;
    const char* real;
    const char* imaginary;
  } constants[] = {{"C", "editCR", "editCI"}, {"D", "editDR", "editDI"}};
  int row = 1;
  for (const auto& c : constants) {
    auto* box = new QGroupBox(c.group);
    auto* boxGrid = new QGridLayout(box);
    AddRow(boxGrid, "Real", Edit(c.real, QString(c.group) + " Real"));
    AddRow(boxGrid, "Imaginair", Edit(c.imaginary, QString(c.group) + " Imaginair"));
    grid->addWidget(box, row++, 1);
  }
  auto* exponents = new QGridLayout;
  AddRow(exponents, "N", Edit("editN", "N"));
  AddRow(exponents, "M", Edit("editM", "M"));
  grid->addLayout(exponents, row, 1);
  connect(lstFormulas_, &QListWidget::currentRowChanged, this, [this] { UpdateEnabledFields(); });
  return page;
}

QWidget* TAllProperties::ScanningPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* viewport = new QGroupBox("Viewport");
  auto* viewportGrid = new QGridLayout(viewport);
  AddRow(viewportGrid, "Left", Edit("editSelLeft", "Left"));
  AddRow(viewportGrid, "Right", Edit("editSelRight", "Right"));
  AddRow(viewportGrid, "Top", Edit("editSelTop", "Top"));
  AddRow(viewportGrid, "Bottom", Edit("editSelBottom", "Bottom"));
  layout->addWidget(viewport);

  auto* resolution = new QGroupBox("Resolution");
  auto* grid = new QGridLayout(resolution);
  grid->addWidget(new QLabel("Internal"), 0, 1);
  grid->addWidget(new QLabel("Pixels"), 0, 2);
  const struct {
    const char* caption;
    const char* internal;
    const char* pixels;
    const char* window;
    bool horizontal;
  } rows[] = {{"Horizontal", "editIntHorizontal", "editPixHorizontal", "btnXResWindow", true},
              {"Vertical", "editIntVertical", "editPixVertical", "btnYResWindow", false}};
  int row = 1;
  for (const auto& r : rows) {
    grid->addWidget(new QLabel(r.caption), row, 0);
    grid->addWidget(Edit(r.internal, QString(r.caption) + " Resolution - Internal"), row, 1);
    grid->addWidget(Edit(r.pixels, QString(r.caption) + " Resolution - Pixels"), row, 2);
    auto* window = Named(new QPushButton("< Window"), r.window, "< Window");
    const bool horizontal = r.horizontal;
    connect(window, &QPushButton::clicked, this, [this, horizontal] { ResWindow(horizontal); });
    grid->addWidget(window, row++, 3);
  }
  grid->addWidget(new QLabel("Values per Pixel"), row, 0);
  grid->addWidget(Edit("editValuesPerPixel", "Values per Pixel"), row, 1);
  grid->addWidget(RadioGroup("optUpdateResolution", "Update Resolution", {"Internal", "Pixels"}),
                  row + 1, 0, 1, 3);
  layout->addWidget(resolution);
  layout->addStretch();
  return page;
}

void TAllProperties::AddColorRow(QGridLayout* grid, int row, const QString& caption,
                                 const char* boxName, const char* pipetName,
                                 const char* swatchName, unitColor& value,
                                 const QString& context) {
  // Accessible names tell rows of the same caption apart by their group.
  const QString name = context.isEmpty() ? caption : context + " " + caption;
  auto* box = Named(new TColorBox, boxName, name);
  auto* pipet = Named(new QToolButton, pipetName, name + " Pipet");
  pipet->setText("Pipet");
  pipet->setToolTip("Take the colour of the Pipet");
  auto* swatch = Named(new TColorSwatch, swatchName, name + " Swatch");
  swatch->setFixedSize(24, 20);
  grid->addWidget(new QLabel(caption), row, 0);
  grid->addWidget(box, row, 1);
  grid->addWidget(pipet, row, 2);
  grid->addWidget(swatch, row, 3);
  colors_.push_back({box, swatch, &value});
  const ColorField field = colors_.back();
  connect(box, &TColorBox::ColorSelected, this, [field](std::uint32_t color) {
    field.value->SetValue(color);
    field.swatch->SetColor(color);
  });
  connect(pipet, &QToolButton::clicked, this, [this, field] {
    field.value->SetValue(services_.pipetColor);
    field.box->SetColor(services_.pipetColor);
    field.swatch->SetColor(services_.pipetColor);
  });
}

QWidget* TAllProperties::PaletteRow(const char* swatchName, const char* buttonName,
                                    QRadioButton* usePalette, TColorPalette1D& palette) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* swatch = Named(new TPaletteStrip(TPaletteStrip::Kind::Opaque), swatchName,
                       usePalette->accessibleName() + " Preview");
  swatch->setMinimumWidth(120);
  swatch->setFixedHeight(22);
  swatch->SetPalette(&palette);
  auto* edit = Named(new QPushButton("Edit Palette..."), buttonName, "Edit Palette...");
  layout->addWidget(usePalette);
  layout->addWidget(swatch, 1);
  layout->addWidget(edit);
  palettes_.push_back({&palette, usePalette, swatch});
  const std::size_t index = palettes_.size() - 1;
  connect(edit, &QPushButton::clicked, this, [this, index] { EditPalette(palettes_[index]); });
  return row;
}

void TAllProperties::EditPalette(PaletteField& field) {
  TDlgColorPalette1D editor(this, *field.palette, services_.ui);
  if (services_.execDialog(editor) != QDialog::Accepted || !editor.GetPalette()) return;
  *field.palette = *editor.GetPalette();
  field.usePalette->setChecked(true);
  field.swatch->update();
}

QWidget* TAllProperties::DepthPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* top = new QGridLayout;
  AddRow(top, "Max Depth", Edit("editMaxDepth", "Max Depth"));
  layout->addLayout(top);
  auto* group = new QGroupBox("Max Depth");
  auto* grid = new QGridLayout(group);
  AddColorRow(grid, 0, "Color", "colbMaxDepth", "bbtnMaxDepthColorPipet", "pbMaxDepthColor",
              viewCopy_.MaxDepthColor, "Max Depth");
  grid->addWidget(new QLabel("Strength"), 1, 0);
  grid->addWidget(Edit("editMaxDepthStrength", "Max Depth, Strength"), 1, 1);
  layout->addWidget(group);
  chkAdaptOutsideStrength_ =
      Named(new QCheckBox("Adapt Outside Strength at changing Max Depth"),
            "chkAdaptOutsideStrength", "Adapt Outside Strength at changing Max Depth");
  chkAdaptInsideStrength_ = Named(new QCheckBox("Adapt Inside Strength at changing Max Depth"),
                                  "chkAdaptInsideStrength",
                                  "Adapt Inside Strength at changing Max Depth");
  layout->addWidget(chkAdaptOutsideStrength_);
  layout->addWidget(chkAdaptInsideStrength_);
  layout->addStretch();
  return page;
}

QWidget* TAllProperties::OutsidePage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  auto* top = new QGridLayout;
  AddRow(top, "Outer Circle", Edit("editOuterCircle", "Outer Circle"));
  AddRow(top, "Strength", Edit("editStrengthOutside", "Strength Outside"));
  grid->addLayout(top, 0, 0);
  QGroupBox* sensitivity = RadioGroup("rgrSensitivityOutside", "Sensitivity", kSensitivities);
  static_cast<QGridLayout*>(sensitivity->layout())
      ->addWidget(Edit("editOutsideExponent", "Outside Custom Exponent"), 4, 1);
  grid->addWidget(sensitivity, 1, 0);
  grid->addWidget(RadioGroup("rgrCont", "Colors", {"Continue", "Discontinue"}), 0, 1);

  auto* depth = new QGroupBox("Depth Color");
  auto* depthGrid = new QGridLayout(depth);
  auto* mix = Named(new QRadioButton("Mix Colors:"), "optDepthMixOutside", "Mix Colors:");
  optDepthPaletteOutside_ = Named(new QRadioButton("Use Palette"), "optDepthPaletteOutside",
                                  "Use Palette Outside");
  auto* pair = new QButtonGroup(depth);
  pair->addButton(mix);
  pair->addButton(optDepthPaletteOutside_);
  depthGrid->addWidget(mix, 0, 0, 1, 4);
  AddColorRow(depthGrid, 1, "Background", "colbBackgroundOutside", "bbtnBackgroundOutsidePipet",
              "pbBackgroundOutside", viewCopy_.BackgroundColorOutside, "Outside");
  AddColorRow(depthGrid, 2, "Foreground", "colbForegroundOutside", "bbtnForegroundOutsidePipet",
              "pbForegroundOutside", viewCopy_.ForegroundColorOutside, "Outside");
  depthGrid->addWidget(PaletteRow("pboPalOutside", "btnDepthColorPaletteOutside",
                                  optDepthPaletteOutside_, viewCopy_.PalOutside),
                       3, 0, 1, 4);
  grid->addWidget(depth, 1, 1);
  return page;
}

QWidget* TAllProperties::InsidePage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  auto* top = new QGridLayout;
  AddRow(top, "Delta Distance", Edit("editDeltaDist", "Delta Distance"));
  AddRow(top, "Max Cycle to Detect", Edit("editMaxCycleDetect", "Max Cycle to Detect"));
  top->addWidget(new QLabel("0 = no Inside"), 1, 2);
  AddRow(top, "Strength", Edit("editStrengthInside", "Strength Inside"));
  grid->addLayout(top, 0, 0);
  QGroupBox* sensitivity = RadioGroup("rgrSensitivityInside", "Sensitivity", kSensitivities);
  static_cast<QGridLayout*>(sensitivity->layout())
      ->addWidget(Edit("editInsideExponent", "Inside Custom Exponent"), 4, 1);
  grid->addWidget(sensitivity, 1, 0);
  grid->addWidget(RadioGroup("rgrCycleSelection", "Cycle Selection",
                             {"Priority for lowest Cycle", "Priority for highest Cycle",
                              "Priority for lowest Depth"}),
                  2, 0);

  auto* column = new QVBoxLayout;
  auto* depth = new QGroupBox("Depth Color");
  auto* depthLayout = new QVBoxLayout(depth);
  auto* depthPair = new QButtonGroup(depth);
  auto* mix = Named(new QRadioButton("Mix Colors:"), "optDepthMixInside", "Mix Colors:");
  optDepthPaletteInside_ =
      Named(new QRadioButton("Use Palette"), "optDepthPaletteInside", "Use Palette Inside");
  depthPair->addButton(mix);
  depthPair->addButton(optDepthPaletteInside_);
  depthLayout->addWidget(mix);
  depthLayout->addWidget(PaletteRow("pboPalInside", "btnDepthPaletteInside",
                                    optDepthPaletteInside_, viewCopy_.PalDepthInside));
  column->addWidget(depth);

  const struct {
    const char* caption;
    const char* colorOption;
    const char* box;
    const char* pipet;
    const char* swatch;
    const char* paletteOption;
    const char* paletteSwatch;
    const char* paletteButton;
    unitColor* color;
    TColorPalette1D* palette;
    QRadioButton** paletteRadio;
  } groups[] = {
      {"Colors for Minimal count of Iterations", "optBackgroundInside", "colbBackgroundInside",
       "bbtnBackgroundInsidePipet", "pbBackgroundInside", "optBackgroundPaletteInside",
       "pboPalBackInside", "btnBackgroundPaletteInside", &viewCopy_.ColorBackgroundInside,
       &viewCopy_.PalDepthBackgroundInside, &optBackgroundPaletteInside_},
      {"Colors for Maximal count of Iterations", "optForegroundInside", "colbForegroundInside",
       "bbtnForegroundInsidePipet", "pbForegroundInside", "optForegroundPaletteInside",
       "pboPalForeInside", "btnForegroundPaletteInside", &viewCopy_.ColorForegroundInside,
       &viewCopy_.PalDepthForegroundInside, &optForegroundPaletteInside_},
  };
  for (const auto& g : groups) {
    auto* box = new QGroupBox(g.caption);
    auto* boxGrid = new QGridLayout(box);
    auto* pair = new QButtonGroup(box);
    auto* colorOption = Named(new QRadioButton("Color:"), g.colorOption,
                              QString(g.caption) + ": Color");
    *g.paletteRadio = Named(new QRadioButton("Use Palette"), g.paletteOption,
                            QString(g.caption) + ": Use Palette");
    pair->addButton(colorOption);
    pair->addButton(*g.paletteRadio);
    boxGrid->addWidget(colorOption, 0, 0, 1, 4);
    AddColorRow(boxGrid, 1, "Color", g.box, g.pipet, g.swatch, *g.color, g.caption);
    boxGrid->addWidget(PaletteRow(g.paletteSwatch, g.paletteButton, *g.paletteRadio, *g.palette),
                       2, 0, 1, 4);
    column->addWidget(box);
  }
  grid->addLayout(column, 0, 1, 3, 1);
  return page;
}

QWidget* TAllProperties::MiscPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* grid = new QGridLayout;
  AddColorRow(grid, 0, "Cursor", "colbCursor", "bbtnCursorColorPipet", "pbCursorColor",
              viewCopy_.CursorColor);
  AddColorRow(grid, 1, "Background", "colbBackground", "bbtnBackgroundColorPipet",
              "pbBackgroundColor", viewCopy_.BackgroundColor);
  layout->addLayout(grid);
  layout->addStretch();
  return page;
}

void TAllProperties::FillFields() {
  const TPropertiesFields f = FieldsOf(fractCopy_, viewCopy_);
  const struct {
    const char* edit;
    const std::string& text;
  } texts[] = {
      {"editSelLeft", f.Left},           {"editSelRight", f.Right},
      {"editSelTop", f.Top},             {"editSelBottom", f.Bottom},
      {"editIntHorizontal", f.XResolution}, {"editIntVertical", f.YResolution},
      {"editCR", f.CR},                  {"editCI", f.CI},
      {"editDR", f.DR},                  {"editDI", f.DI},
      {"editN", f.N},                    {"editM", f.M},
      {"editMaxDepth", f.MaxDepth},      {"editOuterCircle", f.OuterCircle},
      {"editDeltaDist", f.InnerDist},    {"editMaxCycleDetect", f.MaxCycle},
      {"editInsideExponent", f.SensExponentInside},
      {"editOutsideExponent", f.SensExponentOutside},
      {"editStrengthOutside", f.StrengthOutside}, {"editStrengthInside", f.StrengthInside},
      {"editValuesPerPixel", f.ValuesPerPixel}, {"editMaxDepthStrength", f.MaxDepthTransFactor},
  };
  for (const auto& t : texts) SetText(t.edit, t.text);
  const std::int32_t g = viewCopy_.ValuesPerPixel.GetValue();
  SetText("editPixHorizontal",
          unitInteger(PixelsOfInternal(fractCopy_.XResolution.GetValue(), g)).ToText());
  SetText("editPixVertical",
          unitInteger(PixelsOfInternal(fractCopy_.YResolution.GetValue(), g)).ToText());

  SetRadioIndex("rgrCycleSelection", f.CycleSelection);
  SetRadioIndex("rgrCont", f.ColorsDiscontinue ? 1 : 0);
  SetRadioIndex("rgrSensitivityOutside", static_cast<int>(f.SensOutside));
  SetRadioIndex("rgrSensitivityInside", static_cast<int>(f.SensInside));
  SetRadioIndex("optUpdateResolution", f.UpdateResolution ? 0 : 1);
  lstFormulas_->setCurrentRow(f.Formula);
  (f.MapVar == MapC ? optC_ : f.MapVar == MapD ? optD_ : optZ_)->setChecked(true);
  for (const ColorField& c : colors_) {
    c.box->SetColor(c.value->GetValue());
    c.swatch->SetColor(c.value->GetValue());
  }
  chkAdaptOutsideStrength_->setChecked(f.AdaptStrengthOutside);
  chkAdaptInsideStrength_->setChecked(f.AdaptStrengthInside);
  const bool uses[] = {f.UsePalOutside, f.UsePalDepthInside, f.UsePalDepthBackgroundInside,
                       f.UsePalDepthForegroundInside};
  for (std::size_t i = 0; i < palettes_.size(); ++i) {
    // Checking the other button of the pair clears "Use Palette".
    QRadioButton* use = palettes_[i].usePalette;
    for (QAbstractButton* other : use->group()->buttons()) other->setChecked(other == use ? uses[i] : !uses[i]);
  }
  UpdateEnabledFields();
}

TPropertiesFields TAllProperties::Fields() const {
  TPropertiesFields f;
  const struct {
    const char* edit;
    std::string* text;
  } texts[] = {
      {"editSelLeft", &f.Left},           {"editSelRight", &f.Right},
      {"editSelTop", &f.Top},             {"editSelBottom", &f.Bottom},
      {"editIntHorizontal", &f.XResolution}, {"editIntVertical", &f.YResolution},
      {"editCR", &f.CR},                  {"editCI", &f.CI},
      {"editDR", &f.DR},                  {"editDI", &f.DI},
      {"editN", &f.N},                    {"editM", &f.M},
      {"editMaxDepth", &f.MaxDepth},      {"editOuterCircle", &f.OuterCircle},
      {"editDeltaDist", &f.InnerDist},    {"editMaxCycleDetect", &f.MaxCycle},
      {"editInsideExponent", &f.SensExponentInside},
      {"editOutsideExponent", &f.SensExponentOutside},
      {"editStrengthOutside", &f.StrengthOutside}, {"editStrengthInside", &f.StrengthInside},
      {"editValuesPerPixel", &f.ValuesPerPixel}, {"editMaxDepthStrength", &f.MaxDepthTransFactor},
  };
  for (const auto& t : texts) *t.text = Text(t.edit).toStdString();
  f.CycleSelection = static_cast<ECycleSelection>(RadioIndex("rgrCycleSelection"));
  f.ColorsDiscontinue = RadioIndex("rgrCont") == 1;
  f.MapVar = optC_->isChecked() ? MapC : optD_->isChecked() ? MapD : MapZ;
  f.Formula = static_cast<std::uint8_t>(std::max(0, lstFormulas_->currentRow()));
  f.SensOutside = static_cast<ESensitivity>(RadioIndex("rgrSensitivityOutside"));
  f.SensInside = static_cast<ESensitivity>(RadioIndex("rgrSensitivityInside"));
  f.AdaptStrengthOutside = chkAdaptOutsideStrength_->isChecked();
  f.AdaptStrengthInside = chkAdaptInsideStrength_->isChecked();
  f.UsePalOutside = optDepthPaletteOutside_->isChecked();
  f.UsePalDepthInside = optDepthPaletteInside_->isChecked();
  f.UsePalDepthBackgroundInside = optBackgroundPaletteInside_->isChecked();
  f.UsePalDepthForegroundInside = optForegroundPaletteInside_->isChecked();
  f.UpdateResolution = RadioIndex("optUpdateResolution") == 0;
  return f;
}

void TAllProperties::UpdateEnabledFields() {
  const EMapVar map = optC_->isChecked() ? MapC : optD_->isChecked() ? MapD : MapZ;
  const TFormulaFieldsEnabled e = FormulaFieldsEnabled(lstFormulas_->currentRow(), map);
  SetEditEnabled(edits_.at("editCR"), e.c);
  SetEditEnabled(edits_.at("editCI"), e.c);
  SetEditEnabled(edits_.at("editDR"), e.d);
  SetEditEnabled(edits_.at("editDI"), e.d);
  SetEditEnabled(edits_.at("editN"), e.n);
  SetEditEnabled(edits_.at("editM"), e.m);
}

void TAllProperties::accept() {
  TFractProps fract = fractCopy_;
  TFractViewProps view = viewCopy_;
  std::string message;
  if (!StoreProperties(Fields(), fract, view, message)) {
    ShowInputError(services_.ui, message);
    return;  // stays open: the user corrects the field and presses OK again
  }
  if (services_.beforeStore) services_.beforeStore(fract.Changed(fract_));
  fract_ = fract;
  view_ = view;
  QDialog::accept();
}

bool TAllProperties::eventFilter(QObject* watched, QEvent* event) {
  const bool in = event->type() == QEvent::FocusIn;
  if (in || event->type() == QEvent::FocusOut) {
    // Focus that moves to or comes back from another window (a message box) is no entering or
    // leaving of the edit.
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    const std::string name = watched->objectName().toStdString();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
        edits_.count(name)) {
      const bool depth = name == "editMaxDepth" || name == "editMaxDepthStrength";
      if (in) {
        if (depth) MaxDepthEnter();
        if (name == "editValuesPerPixel") ValuesPerPixelEnter();
      } else {
        if (depth) MaxDepthExit();
        if (name == "editValuesPerPixel") ValuesPerPixelExit();
        if (name == "editIntHorizontal" || name == "editIntVertical") {
          IntExit(name == "editIntHorizontal");
        }
        if (name == "editPixHorizontal" || name == "editPixVertical") {
          PixExit(name == "editPixHorizontal");
        }
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TAllProperties::IntExit(bool horizontal) {
  bool valid = true;
  unitIntegerPosMore valuesPerPixel, internal;
  valuesPerPixel.SetTextChecked(valid, Text("editValuesPerPixel").toStdString(),
                                "Values per Pixel", services_.ui);
  internal.SetTextChecked(valid,
                          Text(horizontal ? "editIntHorizontal" : "editIntVertical").toStdString(),
                          horizontal ? "Horizontal Resolution - Internal"
                                     : "Vertical Resolution - Internal",
                          services_.ui);
  if (!valid) return;
  SetText(horizontal ? "editPixHorizontal" : "editPixVertical",
          unitInteger(PixelsOfInternal(internal.GetValue(), valuesPerPixel.GetValue())).ToText());
}

void TAllProperties::PixExit(bool horizontal) {
  bool valid = true;
  unitIntegerPosMore valuesPerPixel, pixels;
  const std::string label =
      horizontal ? "Horizontal Resolution - Pixels" : "Vertical Resolution - Pixels";
  valuesPerPixel.SetTextChecked(valid, Text("editValuesPerPixel").toStdString(),
                                "Values per Pixel", services_.ui);
  pixels.SetTextChecked(valid,
                        Text(horizontal ? "editPixHorizontal" : "editPixVertical").toStdString(),
                        label, services_.ui);
  if (!valid) return;
  std::int32_t internal = 0;
  if (!ScaleResolution(pixels.GetValue(), valuesPerPixel.GetValue(), internal)) {
    ShowInputError(services_.ui, "In " + label + ": Value is too high.");
    return;
  }
  SetText(horizontal ? "editIntHorizontal" : "editIntVertical", unitInteger(internal).ToText());
}

void TAllProperties::ResWindow(bool horizontal) {
  const int size = horizontal ? windowWidth_ : windowHeight_;
  SetText(horizontal ? "editPixHorizontal" : "editPixVertical", unitInteger(size).ToText());
  bool valid = true;
  unitIntegerPosMore valuesPerPixel;
  valuesPerPixel.SetTextChecked(valid, Text("editValuesPerPixel").toStdString(),
                                "More Values per Pixel", services_.ui);
  std::int32_t internal = 0;
  if (valid && ScaleResolution(size, valuesPerPixel.GetValue(), internal)) {
    SetText(horizontal ? "editIntHorizontal" : "editIntVertical", unitInteger(internal).ToText());
  }
}

void TAllProperties::ValuesPerPixelEnter() {
  unitIntegerPosMore old;
  std::string message;
  oldValuesPerPixel_.reset();
  if (old.Parse(Text("editValuesPerPixel").toStdString(), "", message)) {
    oldValuesPerPixel_ = old.GetValue();
  }
}

void TAllProperties::ValuesPerPixelExit() {
  const std::optional<std::int32_t> old = oldValuesPerPixel_;
  oldValuesPerPixel_.reset();
  bool valid = true;
  unitIntegerPosMore now;
  now.SetTextChecked(valid, Text("editValuesPerPixel").toStdString(), "Values per Pixel",
                     services_.ui);
  if (!valid || !old) return;
  const bool internal = RadioIndex("optUpdateResolution") == 0;
  const double factor = internal ? static_cast<double>(now.GetValue()) / *old
                                 : static_cast<double>(*old) / now.GetValue();
  const char* horizontal = internal ? "editIntHorizontal" : "editPixHorizontal";
  const char* vertical = internal ? "editIntVertical" : "editPixVertical";
  const std::string label = internal ? "Resolution - Internal - " : "Resolution - Pixels - ";
  unitIntegerPosMore x, y;
  x.SetTextChecked(valid, Text(horizontal).toStdString(), label + "Horizontal", services_.ui);
  y.SetTextChecked(valid, Text(vertical).toStdString(), label + "Vertical", services_.ui);
  if (!valid) return;
  std::int32_t scaledX = 0, scaledY = 0;
  if (!ScaleResolution(x.GetValue(), factor, scaledX) ||
      !ScaleResolution(y.GetValue(), factor, scaledY)) {
    ShowInputError(services_.ui, "In Values per Pixel: Value is too high.");
    return;
  }
  SetText(horizontal, unitInteger(scaledX).ToText());
  SetText(vertical, unitInteger(scaledY).ToText());
}

void TAllProperties::MaxDepthEnter() {
  // Parsed quietly: a box shown on entering would take the focus and, given back, enter again.
  unitIntegerPosMore old;
  std::string message;
  oldDepth_.reset();
  if (old.Parse(Text("editMaxDepth").toStdString(), "", message)) oldDepth_ = old.GetValue();
}

void TAllProperties::MaxDepthExit() {
  const std::optional<std::int32_t> old = oldDepth_;
  oldDepth_.reset();
  bool valid = true;
  unitIntegerPosMore now;
  now.SetTextChecked(valid, Text("editMaxDepth").toStdString(), "Max Depth", services_.ui);
  if (!valid || !old) return;
  AdaptStrength("editOutsideExponent", "Outside Custom Exponent", "rgrSensitivityOutside",
                chkAdaptOutsideStrength_, "editStrengthOutside", "Strength Outside", *old,
                now.GetValue());
  AdaptStrength("editInsideExponent", "Inside Custom Exponent", "rgrSensitivityInside",
                chkAdaptInsideStrength_, "editStrengthInside", "Strength Inside", *old,
                now.GetValue());
}

void TAllProperties::AdaptStrength(const char* exponentEdit, const char* exponentLabel,
                                   const char* sensitivity, QCheckBox* adapt,
                                   const char* strengthEdit, const char* strengthLabel,
                                   std::int32_t oldDepth, std::int32_t newDepth) {
  bool valid = true;
  unitFactorPosMore exponent(1.0);
  exponent.SetTextChecked(valid, Text(exponentEdit).toStdString(), exponentLabel, services_.ui);
  const double factor = StrengthAdaptFactor(
      oldDepth, newDepth,
      SensitivityExponent(static_cast<ESensitivity>(RadioIndex(sensitivity)), exponent.GetValue()));
  if (!adapt->isChecked()) return;
  valid = true;
  unitFactorPosMore strength;
  strength.SetTextChecked(valid, Text(strengthEdit).toStdString(), strengthLabel, services_.ui);
  if (!valid) return;
  strength.SetValue(strength.GetValue() * factor);
  SetText(strengthEdit, strength.ToText());
}
