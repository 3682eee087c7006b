// The skinned controls on GTK: drawing areas that host the skin models. They
// hand the models the pointer's events and paint through the cairo
// painters; what an event means (hover, click, selection) is the model's.

#include <optional>
#include <vector>

#include "port/gtk/gtk_control.h"
#include "port/gtk/gtk_skin_button.h"
#include "port/gtk/gtk_skin_item_area.h"
#include "skin/face_bitmap_button.h"
#include "skin/flat_text_button.h"
#include "skin/focus_ring.h"
#include "skin/info_tag_panel.h"
#include "skin/list_keys.h"
#include "skin/skin_list_ctrl.h"
#include "skin/skin_paint.h"
#include "text/encoding.h"

namespace tavelo::gtkport {

namespace {

constexpr guint kLeftButton = 1;

Point EventPoint(double x, double y) { return {static_cast<int>(x), static_cast<int>(y)}; }

std::optional<ListKey> ListKeyOf(guint keyval) {
  switch (keyval) {
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up: return ListKey::kUp;
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down: return ListKey::kDown;
    case GDK_KEY_Home:
    case GDK_KEY_KP_Home: return ListKey::kHome;
    case GDK_KEY_End:
    case GDK_KEY_KP_End: return ListKey::kEnd;
    case GDK_KEY_Page_Up:
    case GDK_KEY_KP_Page_Up: return ListKey::kPageUp;
    case GDK_KEY_Page_Down:
    case GDK_KEY_KP_Page_Down: return ListKey::kPageDown;
    case GDK_KEY_Return:
    case GDK_KEY_ISO_Enter:
    case GDK_KEY_KP_Enter: return ListKey::kEnter;
    case GDK_KEY_Delete:
    case GDK_KEY_KP_Delete: return ListKey::kDelete;
    default: return std::nullopt;
  }
}

// A drawing area that is the SkinHost of one model. With `offscreen`, every
// frame is painted into a back buffer first and shown with one copy.
template <typename Base>
class SkinWidget : public GtkControl<Base>, public SkinHost {
 public:
  SkinWidget(GtkWindowHost& host, GtkWidget* area, bool offscreen)
      : GtkControl<Base>(host, area), offscreen_(offscreen) {
    GtkWidget* w = this->widget_;
    gtk_widget_add_events(w, GDK_POINTER_MOTION_MASK | GDK_ENTER_NOTIFY_MASK | GDK_LEAVE_NOTIFY_MASK |
                                 GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK);
    g_signal_connect(w, "draw", G_CALLBACK(+[](GtkWidget*, cairo_t* cr, gpointer self) -> gboolean {
                       static_cast<SkinWidget*>(self)->Draw(cr);
                       return TRUE;
                     }),
                     this);
    g_signal_connect(w, "motion-notify-event",
                     G_CALLBACK(+[](GtkWidget*, GdkEventMotion* e, gpointer self) -> gboolean {
                       static_cast<SkinWidget*>(self)->OnMotion(EventPoint(e->x, e->y));
                       return FALSE;
                     }),
                     this);
    g_signal_connect(w, "enter-notify-event", G_CALLBACK(+[](GtkWidget*, GdkEventCrossing*, gpointer self) -> gboolean {
                       static_cast<SkinWidget*>(self)->OnEnter();
                       return FALSE;
                     }),
                     this);
    g_signal_connect(w, "leave-notify-event", G_CALLBACK(+[](GtkWidget*, GdkEventCrossing*, gpointer self) -> gboolean {
                       static_cast<SkinWidget*>(self)->OnLeave();
                       return FALSE;
                     }),
                     this);
    // Other buttons than the left one go on to the window (its menu).
    g_signal_connect(w, "button-press-event", G_CALLBACK(+[](GtkWidget*, GdkEventButton* e, gpointer self) -> gboolean {
                       if (e->button != kLeftButton) return FALSE;
                       if (e->type == GDK_BUTTON_PRESS) static_cast<SkinWidget*>(self)->OnPress(EventPoint(e->x, e->y));
                       return TRUE;
                     }),
                     this);
    g_signal_connect(w, "button-release-event",
                     G_CALLBACK(+[](GtkWidget*, GdkEventButton* e, gpointer self) -> gboolean {
                       if (e->button != kLeftButton) return FALSE;
                       static_cast<SkinWidget*>(self)->OnRelease(EventPoint(e->x, e->y));
                       return TRUE;
                     }),
                     this);
  }

  // SkinHost
  bool Exists() const override { return !this->host_.Destroyed() && gtk_widget_get_realized(this->widget_); }
  Size ClientSize() const override {
    return {gtk_widget_get_allocated_width(this->widget_), gtk_widget_get_allocated_height(this->widget_)};
  }
  void Redraw() override {
    // The frame is painted now, from the state as it is, and copied to the
    // screen in one block at the next frame.
    if (!Exists()) return;
    PaintBackBuffer();
    gtk_widget_queue_draw(this->widget_);
  }
  void Invalidate() override {
    dirty_ = true;
    gtk_widget_queue_draw(this->widget_);
  }

 protected:
  virtual void Paint(cairo_t* cr, Size client) = 0;
  virtual void PaintFocus(cairo_t* cr, Size client) { PaintFocusRing(cr, client); }
  virtual void OnMotion(Point) {}
  virtual void OnEnter() {}
  virtual void OnLeave() {}
  virtual void OnPress(Point) {}
  virtual void OnRelease(Point) {}

 private:
  // The back buffer has the screen's resolution, so that it reaches the
  // window one pixel for one. One at 1x would be enlarged on a screen at
  // scale 2: soft, and blended at its edges with the nothing around it,
  // which drew a grey line around every button.
  bool BackBufferFits(Size size, int scale) const {
    return back_ && cairo_image_surface_get_width(back_.get()) == std::max(size.width, 1) * scale &&
           cairo_image_surface_get_height(back_.get()) == std::max(size.height, 1) * scale;
  }

  void PaintBackBuffer() {
    Size size = ClientSize();
    int scale = gtk_widget_get_scale_factor(this->widget_);
    if (!BackBufferFits(size, scale)) {
      back_.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(size.width, 1) * scale,
                                             std::max(size.height, 1) * scale));
      cairo_surface_set_device_scale(back_.get(), scale, scale);
    }
    CairoPtr cr(cairo_create(back_.get()));
    Paint(cr.get(), size);
    dirty_ = false;
  }

  void Draw(cairo_t* cr) {
    PaintFrame(cr);
    // Only a keyboard user sees where the focus is.
    if (gtk_widget_has_visible_focus(this->widget_)) PaintFocus(cr, ClientSize());
  }

  void PaintFrame(cairo_t* cr) {
    if (!offscreen_) {
      Paint(cr, ClientSize());
      return;
    }
    if (dirty_ || !BackBufferFits(ClientSize(), gtk_widget_get_scale_factor(this->widget_))) PaintBackBuffer();
    cairo_set_source_surface(cr, back_.get(), 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
  }

  bool offscreen_;
  bool dirty_ = true;
  SurfacePtr back_;
};

// A skinned push button: the model decides hover and clicks. For the
// keyboard and assistive technology it is a push button named by its text.
template <typename Base, typename Model>
class SkinButtonWidget : public SkinWidget<Base> {
 public:
  SkinButtonWidget(GtkWindowHost& host, const std::string& text, bool offscreen)
      : SkinWidget<Base>(host, NewSkinButtonArea(), offscreen), model_(*this) {
    SetText(text);
    g_signal_connect(this->widget_, "activate", G_CALLBACK(+[](GtkWidget*, gpointer self) {
                       auto* button = static_cast<SkinButtonWidget*>(self);
                       if (button->on_click) button->on_click();
                     }),
                     this);
  }
  void SetText(const std::string& text) override {
    model_.SetText(text);
    atk_object_set_name(gtk_widget_get_accessible(this->widget_), GbkToUtf8(text).c_str());
  }
  std::string Text() const override { return model_.Text(); }
  void SetEnabled(bool enabled) override {
    model_.SetEnabled(enabled);
    SkinWidget<Base>::SetEnabled(enabled);
  }

 protected:
  void OnMotion(Point p) override { model_.OnMouseMove(p); }
  void OnEnter() override { model_.OnEnter(); }
  void OnLeave() override { model_.OnLeave(); }
  void OnPress(Point p) override { model_.OnButtonDown(p); }
  void OnRelease(Point p) override {
    if (model_.OnButtonUp(p) && this->on_click) this->on_click();
  }

  Model model_;
};

class GtkFlatButton : public SkinButtonWidget<port::FlatButton, FlatTextButton> {
 public:
  GtkFlatButton(GtkWindowHost& host, const std::string& text) : SkinButtonWidget(host, text, true) {}
  // Before the widget exists the model draws nothing; its first frame will.
  void SetSelected(int selected) override {
    model_.SetSelected(selected);
    SetSkinButtonSelected(widget_, selected == 1);
  }
  int Selected() const override { return model_.Selected(); }

 protected:
  void Paint(cairo_t* cr, Size client) override { PaintFlatTextButton(cr, client, model_); }
};

class GtkFaceButton : public SkinButtonWidget<port::FaceButton, FaceBitmapButton> {
 public:
  GtkFaceButton(GtkWindowHost& host, const std::string& text) : SkinButtonWidget(host, text, false) {}
  bool Enabled() const override { return model_.Enabled(); }

 protected:
  void Paint(cairo_t* cr, Size client) override {
    PaintFaceBitmapButton(cr, Rect::FromSize(0, 0, client.width, client.height), model_.State(), !model_.Enabled(),
                          model_.Text(), FacePictures::Shared());
  }
};

// The information panel. Its values are links: Tab and the arrow keys go
// from one to the next, Enter and Space press the one with the focus, and a
// screen reader reads them and follows them with "jump".
class GtkInfoPanel : public SkinWidget<port::InfoPanel>, public SkinAreaItems {
 public:
  explicit GtkInfoPanel(GtkWindowHost& host)
      : SkinWidget(host, NewSkinItemArea({ATK_ROLE_PANEL, ATK_ROLE_LINK, "jump"}), true),
        model_(*this, PangoMeasure()) {
    SetSkinAreaItems(widget_, this);
    g_signal_connect(widget_, "focus",
                     G_CALLBACK(+[](GtkWidget*, GtkDirectionType direction, gpointer self) -> gboolean {
                       return static_cast<GtkInfoPanel*>(self)->MoveFocus(direction);
                     }),
                     this);
    g_signal_connect(widget_, "key-press-event", G_CALLBACK(+[](GtkWidget*, GdkEventKey* e, gpointer self) -> gboolean {
                       return static_cast<GtkInfoPanel*>(self)->Key(e->keyval);
                     }),
                     this);
    LinksChanged();
  }
  ~GtkInfoPanel() override { SetSkinAreaItems(widget_, nullptr); }
  void ShowRecordInfo(const std::string& info) override {
    model_.ShowRecordInfo(info);
    LinksChanged();
  }
  void ShowRecordInfoCompact(const std::string& info) override {
    model_.ShowRecordInfoCompact(info);
    LinksChanged();
  }
  void AddWord(WordKind kind, const std::string& text) override { model_.AddItem(kind, text); }
  void Relayout() override {
    model_.Layout();
    model_.Redraw();
    LinksChanged();
  }
  std::string WordAt(Point client) const override { return model_.WordAt(client); }
  std::string WordAtCursor() const override { return pressed_ ? *pressed_ : WordAt(CursorPos()); }

  // SkinAreaItems: the links.
  int ItemCount() const override { return static_cast<int>(Links().size()); }
  std::string ItemName(int link) const override { return GbkToUtf8(LinkItem(link).text); }
  bool ItemSelected(int) const override { return false; }
  void ActivateItem(int link) override {
    // Reported as a click on the link; the window may close on it.
    pressed_ = LinkItem(link).text;
    if (on_click) on_click();
  }

 protected:
  void Paint(cairo_t* cr, Size client) override { PaintInfoTagPanel(cr, client, model_); }
  void PaintFocus(cairo_t* cr, Size) override {
    if (focused_ < 0) return;
    const Rect rect = LinkItem(focused_).rect;
    const int around = kFocusRingInset + 1;
    cairo_translate(cr, rect.left - around, rect.top - around);
    PaintFocusRing(cr, {rect.Width() + 2 * around, rect.Height() + 2 * around});
  }
  void OnPress(Point p) override { model_.OnButtonDown(p); }
  void OnRelease(Point p) override {
    pressed_.reset();
    if (model_.OnButtonUp(p) && on_click) on_click();
  }

 private:
  // The value items, in reading order.
  std::vector<int> Links() const {
    std::vector<int> links;
    for (int i = 0; i < model_.Count(); ++i) {
      if (model_.Item(i).kind == InfoTagItem::kValue) links.push_back(i);
    }
    return links;
  }
  const InfoTagItem& LinkItem(int link) const { return model_.Item(Links()[static_cast<size_t>(link)]); }

  void LinksChanged() {
    const int count = ItemCount();
    if (focused_ >= count) focused_ = count - 1;
    // Without links the panel is no stop for Tab.
    gtk_widget_set_can_focus(widget_, count > 0);
    SkinAreaItemsChanged(widget_);
  }

  // Steps through the links; false lets the focus leave the panel.
  gboolean MoveFocus(GtkDirectionType direction) {
    const int count = ItemCount();
    if (count == 0) return FALSE;
    const bool back = direction == GTK_DIR_TAB_BACKWARD || direction == GTK_DIR_UP || direction == GTK_DIR_LEFT;
    const int next = !gtk_widget_has_focus(widget_) ? (back ? count - 1 : 0) : focused_ + (back ? -1 : 1);
    if (next < 0 || next >= count) return FALSE;
    focused_ = next;
    gtk_widget_grab_focus(widget_);
    gtk_widget_queue_draw(widget_);
    AnnounceSkinAreaItem(widget_, focused_);
    return TRUE;
  }

  gboolean Key(guint keyval) {
    switch (keyval) {
      case GDK_KEY_Return:
      case GDK_KEY_ISO_Enter:
      case GDK_KEY_KP_Enter:
      case GDK_KEY_space:
      case GDK_KEY_KP_Space:
        if (focused_ < 0) return FALSE;
        ActivateItem(focused_);
        return TRUE;
      default:
        return FALSE;
    }
  }

  InfoTagPanel model_;
  int focused_ = -1;
  std::optional<std::string> pressed_;
};

// A picture of the program's, scaled to the control.
class GtkPicture : public GtkControl<port::Control> {
 public:
  GtkPicture(GtkWindowHost& host, int picture) : GtkControl(host, gtk_drawing_area_new()), picture_(picture) {
    g_signal_connect(widget_, "draw", G_CALLBACK(+[](GtkWidget* w, cairo_t* cr, gpointer self) -> gboolean {
                       PaintPicture(cr, Rect::FromSize(0, 0, gtk_widget_get_allocated_width(w), gtk_widget_get_allocated_height(w)),
                                    SharedPicture(static_cast<GtkPicture*>(self)->picture_));
                       return TRUE;
                     }),
                     this);
  }

 private:
  int picture_;
};

// The skinned list: a framed column of the header row (a drawing area of
// its own, so that it stays at the top) over a drawing area as tall as all
// rows inside a scrolled window. The scrolled window moves the rows; the
// model learns the scroll position from its adjustments, and every point it
// is given is in the list's client coordinates, header included, as the
// window logic's are. The rows area takes the keyboard focus and answers
// the list's keys.
class GtkListControl : public GtkControl<port::ListView>, public SkinAreaItems {
 public:
  explicit GtkListControl(GtkWindowHost& host)
      : GtkControl(host, gtk_frame_new(nullptr)),
        header_(GTK_WIDGET(g_object_ref_sink(gtk_drawing_area_new()))),
        scroller_(gtk_scrolled_window_new(nullptr, nullptr)),
        area_(GTK_WIDGET(g_object_ref_sink(NewSkinItemArea({ATK_ROLE_LIST, ATK_ROLE_LIST_ITEM, "activate"})))),
        horizontal_(GTK_ADJUSTMENT(g_object_ref(gtk_scrolled_window_get_hadjustment(GTK_SCROLLED_WINDOW(scroller_))))),
        vertical_(GTK_ADJUSTMENT(g_object_ref(gtk_scrolled_window_get_vadjustment(GTK_SCROLLED_WINDOW(scroller_))))) {
    gtk_frame_set_shadow_type(GTK_FRAME(widget_), GTK_SHADOW_IN);
    GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_widget_set_size_request(header_, 1, SkinListCtrl::kHeaderHeight);
    gtk_box_pack_start(GTK_BOX(column), header_, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(column), scroller_, TRUE, TRUE, 0);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller_), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
    gtk_container_add(GTK_CONTAINER(scroller_), area_);
    gtk_container_add(GTK_CONTAINER(widget_), column);
    gtk_widget_show_all(column);
    gtk_widget_add_events(area_, GDK_BUTTON_PRESS_MASK);
    g_signal_connect(header_, "draw", G_CALLBACK(+[](GtkWidget* w, cairo_t* cr, gpointer self) -> gboolean {
                       PaintListHeader(cr, static_cast<GtkListControl*>(self)->model_, gtk_widget_get_allocated_width(w));
                       return TRUE;
                     }),
                     this);
    g_signal_connect(area_, "draw", G_CALLBACK(+[](GtkWidget*, cairo_t* cr, gpointer self) -> gboolean {
                       static_cast<GtkListControl*>(self)->Draw(cr);
                       return TRUE;
                     }),
                     this);
    g_signal_connect(area_, "button-press-event",
                     G_CALLBACK(+[](GtkWidget*, GdkEventButton* e, gpointer self) -> gboolean {
                       return static_cast<GtkListControl*>(self)->Press(e);
                     }),
                     this);
    g_signal_connect(area_, "key-press-event", G_CALLBACK(+[](GtkWidget*, GdkEventKey* e, gpointer self) -> gboolean {
                       return static_cast<GtkListControl*>(self)->Key(e);
                     }),
                     this);
    SetSkinAreaItems(area_, this);
    for (GtkAdjustment* a : {horizontal_, vertical_}) {
      g_signal_connect(a, "value-changed", G_CALLBACK(+[](GtkAdjustment*, gpointer self) {
                         static_cast<GtkListControl*>(self)->ScrollChanged();
                       }),
                       this);
    }
  }
  ~GtkListControl() override {
    SetSkinAreaItems(area_, nullptr);
    // The adjustments are held: the scrolled window may be gone by now.
    for (GtkAdjustment* a : {horizontal_, vertical_}) {
      g_signal_handlers_disconnect_by_data(a, this);
      g_object_unref(a);
    }
    // Held too: a destroyed window takes them out of the frame.
    for (GtkWidget* w : {header_, area_}) {
      g_signal_handlers_disconnect_by_data(w, this);
      g_object_unref(w);
    }
  }

  void SetSkin(const port::ListSkin& skin) override {
    model_.SetColumnCount(skin.columnCount);
    model_.SetRowStyle(skin.rowStyle);
    Changed();
  }
  void SetColumns(const std::vector<port::ListColumn>& columns) override {
    model_.SetColumns(columns);
    Changed();
  }
  int ColumnWidth(int c) const override { return model_.ColumnWidth(c); }
  void SetRowHeight(int px) override {
    model_.SetRowHeight(px);
    Changed();
  }
  int InsertRow(int i, const std::string& c0) override {
    int r = model_.InsertRow(i, c0);
    Changed();
    return r;
  }
  void SetCell(int r, int c, const std::string& t) override {
    model_.SetCell(r, c, t);
    gtk_widget_queue_draw(area_);
  }
  std::string Cell(int r, int c) const override { return model_.Cell(r, c); }
  int RowCount() const override { return model_.RowCount(); }
  void DeleteAllRows() override {
    model_.DeleteAllRows();
    Changed();
  }
  void SelectRow(int r, bool s) override {
    model_.Select(r, s);
    gtk_widget_queue_draw(area_);
  }
  bool IsSelected(int r) const override { return model_.IsSelected(r); }

  void EnsureVisible(int row) override {
    GtkAdjustment* v = vertical_;
    // The adjustment only knows the new height once the area is allocated.
    gtk_adjustment_set_upper(v, std::max(gtk_adjustment_get_upper(v), static_cast<double>(model_.ContentHeight())));
    int target = model_.ScrollYToShow(row, ViewHeight());
    if (target != model_.ScrollY()) gtk_adjustment_set_value(v, target);
  }

  port::ListHit HitTest(Point client) const override { return model_.HitTest(client); }

  // SkinAreaItems: the rows; a screen reader's action opens the row as Enter does.
  int ItemCount() const override { return model_.RowCount(); }
  std::string ItemName(int row) const override { return GbkToUtf8(model_.RowText(row)); }
  bool ItemSelected(int row) const override { return model_.IsSelected(row); }
  void ActivateItem(int row) override {
    model_.SelectOnly(row);
    gtk_widget_queue_draw(area_);
    if (on_double_click) on_double_click({row, -1});
  }

 private:
  void Changed() {
    gtk_widget_set_size_request(area_, std::max(model_.ContentWidth(), 1), std::max(model_.ContentHeight(), 1));
    gtk_widget_queue_draw(area_);
    gtk_widget_queue_draw(header_);
    SkinAreaItemsChanged(area_);
  }

  // The height of the rows area as shown.
  int ViewHeight() const {
    double page = gtk_adjustment_get_page_size(vertical_);
    return page > 0 ? static_cast<int>(page) : bounds_.Height() - SkinListCtrl::kHeaderHeight;
  }

  gboolean Key(GdkEventKey* e) {
    std::optional<ListKey> key = ListKeyOf(e->keyval);
    if (!key || (e->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) != 0) return FALSE;
    if (!AnswerListKey(model_, *this, *key, ViewHeight())) return FALSE;
    gtk_widget_queue_draw(area_);
    const int row = model_.FirstSelectedRow();
    if (row >= 0) AnnounceSkinAreaItem(area_, row);
    return TRUE;
  }

  void ScrollChanged() {
    model_.SetScrollX(static_cast<int>(gtk_adjustment_get_value(horizontal_)));
    model_.SetScrollY(static_cast<int>(gtk_adjustment_get_value(vertical_)));
    gtk_widget_queue_draw(header_);
  }

  // The area's own coordinates are the content's; the model's are the view's,
  // which begin with the header.
  Point ToClient(double x, double y) const {
    return {static_cast<int>(x) - model_.ScrollX(),
            static_cast<int>(y) - model_.ScrollY() + SkinListCtrl::kHeaderHeight};
  }

  void Draw(cairo_t* cr) {
    int width = gtk_widget_get_allocated_width(area_);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    // Only the rows inside the exposed area: a long catalogue list is
    // thousands of rows tall.
    double x1, y1, x2, y2;
    cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
    int height = model_.RowHeight();
    int first = std::max(static_cast<int>(y1) / height, 0);
    int last = std::min(static_cast<int>(y2) / height, model_.RowCount() - 1);
    // The painter works in the view's coordinates and shifts the columns by
    // the scroll position itself; the area is already shifted by GTK.
    int scrollX = model_.ScrollX(), scrollY = model_.ScrollY();
    cairo_translate(cr, scrollX, scrollY);
    RowPictures pictures = RowPictures::Shared();
    for (int i = first; i <= last; ++i) {
      int top = i * height - scrollY;
      PaintListRow(cr, model_, i, {0, top, width - scrollX, top + height}, pictures);
    }
    // A keyboard user sees which row the keys act on.
    const int selected = model_.FirstSelectedRow();
    if (selected >= 0 && gtk_widget_has_visible_focus(area_)) {
      cairo_translate(cr, 0, selected * height - scrollY);
      PaintFocusRing(cr, {width - scrollX, height});
    }
  }

  // Other buttons than the left one go on to the window (its menu).
  gboolean Press(GdkEventButton* e) {
    if (e->button != kLeftButton) return FALSE;
    // As any list: the one clicked takes the keys that follow.
    gtk_widget_grab_focus(area_);
    Point client = ToClient(e->x, e->y);
    guint clicks = 1;
    gdk_event_get_click_count(reinterpret_cast<GdkEvent*>(e), &clicks);
    // GDK reports the second press of a double-click twice, as a press and
    // as a double press; a report view reports the double-click alone.
    if (e->type == GDK_BUTTON_PRESS && clicks < 2) {
      port::ListHit hit = model_.Press(client);
      gtk_widget_queue_draw(area_);
      if (on_click) on_click(hit);
    } else if (e->type == GDK_2BUTTON_PRESS) {
      if (on_double_click) on_double_click(model_.HitTest(client));
    }
    return TRUE;
  }

  GtkWidget* header_;
  GtkWidget* scroller_;
  GtkWidget* area_;
  GtkAdjustment* horizontal_;
  GtkAdjustment* vertical_;
  SkinListCtrl model_;
};

}  // namespace

std::unique_ptr<port::FlatButton> MakeFlatButton(GtkWindowHost& host, const std::string& text) {
  return std::make_unique<GtkFlatButton>(host, text);
}
std::unique_ptr<port::FaceButton> MakeFaceButton(GtkWindowHost& host, const std::string& text) {
  return std::make_unique<GtkFaceButton>(host, text);
}
std::unique_ptr<port::InfoPanel> MakeInfoPanel(GtkWindowHost& host) { return std::make_unique<GtkInfoPanel>(host); }
std::unique_ptr<port::ListView> MakeListView(GtkWindowHost& host) { return std::make_unique<GtkListControl>(host); }
std::unique_ptr<port::Control> MakePicture(GtkWindowHost& host, int picture) {
  return std::make_unique<GtkPicture>(host, picture);
}

}  // namespace tavelo::gtkport
