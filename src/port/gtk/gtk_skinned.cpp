// The skinned controls on GTK: drawing areas that host the skin models,
// paint through the cairo painters and turn GTK events into the models'
// mouse and timer calls.

#include <map>

#include "port/gtk/gtk_control.h"
#include "skin/face_bitmap_button.h"
#include "skin/flat_text_button.h"
#include "skin/info_tag_panel.h"
#include "skin/skin_list_ctrl.h"
#include "skin/skin_paint.h"

namespace tavelo::gtkport {

namespace {

constexpr guint kLeftButton = 1;

// A drawing area that is the SkinHost of one model. Timers repeat until
// killed, as the models expect of a window timer. With `offscreen`, every
// frame is painted into a back buffer first and shown with one copy.
template <typename Base>
class SkinWidget : public GtkControl<Base>, public SkinHost {
 public:
  SkinWidget(GtkWindowHost& host, bool offscreen) : GtkControl<Base>(host, gtk_drawing_area_new()), offscreen_(offscreen) {
    GtkWidget* w = this->widget_;
    gtk_widget_add_events(w, GDK_POINTER_MOTION_MASK | GDK_ENTER_NOTIFY_MASK | GDK_BUTTON_PRESS_MASK |
                                 GDK_BUTTON_RELEASE_MASK);
    g_signal_connect(w, "draw", G_CALLBACK(+[](GtkWidget*, cairo_t* cr, gpointer self) -> gboolean {
                       static_cast<SkinWidget*>(self)->Draw(cr);
                       return TRUE;
                     }),
                     this);
    g_signal_connect(w, "motion-notify-event",
                     G_CALLBACK(+[](GtkWidget*, GdkEventMotion* e, gpointer self) -> gboolean {
                       static_cast<SkinWidget*>(self)->OnMotion({static_cast<int>(e->x), static_cast<int>(e->y)});
                       return FALSE;
                     }),
                     this);
    // Entering is a mouse move too: the pointer may jump onto the control
    // without moving inside it.
    g_signal_connect(w, "enter-notify-event",
                     G_CALLBACK(+[](GtkWidget*, GdkEventCrossing* e, gpointer self) -> gboolean {
                       static_cast<SkinWidget*>(self)->OnMotion({static_cast<int>(e->x), static_cast<int>(e->y)});
                       return FALSE;
                     }),
                     this);
    g_signal_connect(w, "button-press-event", G_CALLBACK(+[](GtkWidget*, GdkEventButton* e, gpointer self) -> gboolean {
                       if (e->button == kLeftButton && e->type == GDK_BUTTON_PRESS)
                         static_cast<SkinWidget*>(self)->OnPress();
                       return TRUE;
                     }),
                     this);
    g_signal_connect(w, "button-release-event",
                     G_CALLBACK(+[](GtkWidget* widget, GdkEventButton* e, gpointer self) -> gboolean {
                       if (e->button != kLeftButton) return TRUE;
                       auto* me = static_cast<SkinWidget*>(self);
                       // Like a push button: releasing outside cancels the click.
                       bool inside = e->x >= 0 && e->y >= 0 && e->x < gtk_widget_get_allocated_width(widget) &&
                                     e->y < gtk_widget_get_allocated_height(widget);
                       me->OnRelease();
                       if (inside && me->on_click) me->on_click();
                       return TRUE;
                     }),
                     this);
  }
  ~SkinWidget() override {
    for (auto& [id, source] : timers_) g_source_remove(source);
  }

  // SkinHost
  bool Exists() const override { return !this->host_.Destroyed() && gtk_widget_get_realized(this->widget_); }
  Size ClientSize() const override {
    return {gtk_widget_get_allocated_width(this->widget_), gtk_widget_get_allocated_height(this->widget_)};
  }
  Point CursorPos() const override { return PointerIn(this->widget_); }
  void StartTimer(int id, int milliseconds) override {
    KillTimer(id);
    auto* tick = new Tick{this, id};
    timers_[id] = g_timeout_add_full(
        G_PRIORITY_DEFAULT, static_cast<guint>(milliseconds),
        +[](gpointer data) -> gboolean {
          auto* t = static_cast<Tick*>(data);
          t->self->OnTimer(t->id);
          return G_SOURCE_CONTINUE;
        },
        tick, +[](gpointer data) { delete static_cast<Tick*>(data); });
  }
  void KillTimer(int id) override {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    // Removing the source from inside its own tick is allowed; the tick's
    // G_SOURCE_CONTINUE is then ignored.
    g_source_remove(it->second);
    timers_.erase(it);
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

  bool RunningTimer(int id) const { return timers_.count(id) != 0; }

 protected:
  virtual void Paint(cairo_t* cr, Size client) = 0;
  virtual void OnMotion(Point) {}
  virtual void OnPress() {}
  virtual void OnRelease() {}
  virtual void OnTimer(int) {}

 private:
  struct Tick {
    SkinWidget* self;
    int id;
  };

  void PaintBackBuffer() {
    Size size = ClientSize();
    if (!back_ || cairo_image_surface_get_width(back_.get()) != size.width ||
        cairo_image_surface_get_height(back_.get()) != size.height) {
      back_.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(size.width, 1), std::max(size.height, 1)));
    }
    CairoPtr cr(cairo_create(back_.get()));
    Paint(cr.get(), size);
    dirty_ = false;
  }

  void Draw(cairo_t* cr) {
    if (!offscreen_) {
      Paint(cr, ClientSize());
      return;
    }
    Size size = ClientSize();
    if (dirty_ || !back_ || cairo_image_surface_get_width(back_.get()) != size.width ||
        cairo_image_surface_get_height(back_.get()) != size.height) {
      PaintBackBuffer();
    }
    cairo_set_source_surface(cr, back_.get(), 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
  }

  bool offscreen_;
  bool dirty_ = true;
  SurfacePtr back_;
  std::map<int, guint> timers_;
};

class GtkFlatButton : public SkinWidget<port::FlatButton> {
 public:
  GtkFlatButton(GtkWindowHost& host, const std::string& text) : SkinWidget(host, true), model_(*this) {
    model_.SetText(text);
  }
  void SetText(const std::string& text) override {
    model_.SetText(text);
    Invalidate();
  }
  std::string Text() const override { return model_.Text(); }
  void SetSelected(int selected) override {
    // Before the widget exists the model draws nothing; its first frame will.
    model_.SetSelected(selected);
  }
  int Selected() const override { return model_.Selected(); }
  void SetSite(const std::string& name, const std::string& startAddress) override {
    model_.SetSite(name, startAddress);
    Invalidate();
  }
  std::string SiteName() const override { return model_.GetSiteName(); }
  std::string StartAddress() const override { return model_.GetStartAddress(); }

 protected:
  void Paint(cairo_t* cr, Size client) override { PaintFlatTextButton(cr, client, model_); }
  void OnMotion(Point) override { model_.OnMouseMove(); }
  void OnTimer(int id) override { model_.OnTimer(id); }

 private:
  FlatTextButton model_;
};

class GtkFaceButton : public SkinWidget<port::FaceButton> {
 public:
  GtkFaceButton(GtkWindowHost& host, const std::string& text) : SkinWidget(host, false), model_(*this), text_(text) {}
  void SetText(const std::string& text) override {
    text_ = text;
    Invalidate();
  }
  std::string Text() const override { return text_; }
  void SetEnabled(bool enabled) override {
    enabled_ = enabled;
    SkinWidget::SetEnabled(enabled);
    Invalidate();
  }
  bool Enabled() const override { return enabled_; }

 protected:
  void Paint(cairo_t* cr, Size client) override {
    PaintFaceBitmapButton(cr, Rect::FromSize(0, 0, client.width, client.height), model_.State(), !enabled_, text_,
                          FacePictures::Shared());
  }
  void OnMotion(Point p) override { model_.OnMouseMove(p); }
  void OnPress() override { model_.OnButtonDown(); }
  void OnRelease() override { model_.OnButtonUp(); }
  void OnTimer(int id) override { model_.OnTimer(id); }

 private:
  FaceBitmapButton model_;
  std::string text_;
  bool enabled_ = true;
};

class GtkInfoPanel : public SkinWidget<port::InfoPanel> {
 public:
  explicit GtkInfoPanel(GtkWindowHost& host)
      : SkinWidget(host, true), model_(PangoMeasure(), [this] { Redraw(); }) {}
  void ShowRecordInfo(const std::string& info) override {
    model_.ShowRecordInfo(info);
    Invalidate();
  }
  void ShowRecordInfoCompact(const std::string& info) override {
    model_.ShowRecordInfoCompact(info);
    Invalidate();
  }
  void AddWord(WordKind kind, const std::string& text) override { model_.AddItem(kind, text); }
  void Relayout() override {
    model_.Layout();
    model_.Redraw();
    Invalidate();
  }
  std::string WordAt(Point client) const override { return model_.WordAt(client); }

 protected:
  void Paint(cairo_t* cr, Size client) override { PaintInfoTagPanel(cr, client, model_); }

 private:
  InfoTagPanel model_;
};

// The skinned list: a drawing area as tall as all rows inside a scrolled
// window. The scrolled window shifts the drawing, so rows are painted at
// their content positions with the model's own scroll offset left at 0.
class GtkListControl : public GtkControl<port::ListView> {
 public:
  explicit GtkListControl(GtkWindowHost& host)
      : GtkControl(host, gtk_scrolled_window_new(nullptr, nullptr)),
        area_(GTK_WIDGET(g_object_ref_sink(gtk_drawing_area_new()))) {
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(widget_), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(widget_), GTK_SHADOW_IN);
    gtk_container_add(GTK_CONTAINER(widget_), area_);
    gtk_widget_show(area_);
    gtk_widget_add_events(area_, GDK_BUTTON_PRESS_MASK);
    g_signal_connect(area_, "draw", G_CALLBACK(+[](GtkWidget*, cairo_t* cr, gpointer self) -> gboolean {
                       static_cast<GtkListControl*>(self)->Draw(cr);
                       return TRUE;
                     }),
                     this);
    g_signal_connect(area_, "button-press-event",
                     G_CALLBACK(+[](GtkWidget*, GdkEventButton* e, gpointer self) -> gboolean {
                       static_cast<GtkListControl*>(self)->Press(e);
                       return TRUE;
                     }),
                     this);
  }
  ~GtkListControl() override {
    g_signal_handlers_disconnect_by_data(area_, this);
    g_object_unref(area_);
  }

  void SetSkin(const port::ListSkin& skin) override {
    model_.SetColumnCount(skin.columnCount);
    model_.SetRowStyle(skin.rowStyle);
    model_.SetThirdSetting(skin.thirdSetting);
    Changed();
  }
  void SetColumns(const std::vector<int>& widths) override {
    model_.SetColumnWidths(widths);
    if (model_.ColumnCount() == 0) model_.SetColumnCount(static_cast<int>(widths.size()));
    Changed();
  }
  int ColumnWidth(int c) const override { return model_.ColumnWidth(c); }
  void SetRowHeight(int px) override {
    model_.SetRowHeight(std::max(px, 1));
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
    if (row < 0 || row >= model_.RowCount()) return;
    GtkAdjustment* v = gtk_scrolled_window_get_vadjustment(GTK_SCROLLED_WINDOW(widget_));
    // The adjustment only knows the new height once the area is allocated.
    gtk_adjustment_set_upper(v, std::max(gtk_adjustment_get_upper(v), static_cast<double>(ContentHeight())));
    double top = row * model_.RowHeight();
    double bottom = top + model_.RowHeight();
    double value = gtk_adjustment_get_value(v);
    double page = gtk_adjustment_get_page_size(v);
    if (page <= 0) page = bounds_.Height();
    if (top < value) {
      gtk_adjustment_set_value(v, top);
    } else if (bottom > value + page) {
      gtk_adjustment_set_value(v, bottom - page);
    }
  }

  port::ListHit HitTest(Point client) const override {
    GtkAdjustment* h = gtk_scrolled_window_get_hadjustment(GTK_SCROLLED_WINDOW(widget_));
    GtkAdjustment* v = gtk_scrolled_window_get_vadjustment(GTK_SCROLLED_WINDOW(widget_));
    return HitAtContent(client.x + static_cast<int>(gtk_adjustment_get_value(h)),
                        client.y + static_cast<int>(gtk_adjustment_get_value(v)));
  }

 private:
  int ContentHeight() const { return model_.RowCount() * model_.RowHeight(); }
  int ContentWidth() const {
    int width = 0;
    for (int i = 0; i < model_.ColumnCount(); ++i) width += model_.ColumnWidth(i);
    return width;
  }
  void Changed() {
    gtk_widget_set_size_request(area_, std::max(ContentWidth(), 1), std::max(ContentHeight(), 1));
    gtk_widget_queue_draw(area_);
  }

  port::ListHit HitAtContent(int x, int y) const {
    port::ListHit hit;
    if (x < 0 || y < 0) return hit;
    int row = y / model_.RowHeight();
    if (row >= model_.RowCount()) return hit;
    hit.row = row;
    int left = 0;
    for (int i = 0; i < model_.ColumnCount(); ++i) {
      int right = left + model_.ColumnWidth(i);
      if (x >= left && x < right) {
        hit.column = i;
        break;
      }
      left = right;
    }
    return hit;
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
    RowPictures pictures = RowPictures::Shared();
    for (int i = first; i <= last; ++i) {
      PaintListRow(cr, model_, i, {0, i * height, width, (i + 1) * height}, pictures);
    }
  }

  void Press(GdkEventButton* e) {
    if (e->button != kLeftButton) return;
    port::ListHit hit = HitAtContent(static_cast<int>(e->x), static_cast<int>(e->y));
    guint clicks = 1;
    gdk_event_get_click_count(reinterpret_cast<GdkEvent*>(e), &clicks);
    // The second press of a double-click is reported as the double-click
    // alone, as a report view does, not as one more click.
    if (e->type == GDK_BUTTON_PRESS && clicks < 2) {
      // As a report view does: the click selects the row under the mouse, a
      // click below the last row clears the selection.
      for (int i = 0; i < model_.RowCount(); ++i) model_.Select(i, i == hit.row);
      gtk_widget_queue_draw(area_);
      if (on_click) on_click(hit);
    } else if (e->type == GDK_2BUTTON_PRESS) {
      if (on_double_click) on_double_click(hit);
    }
  }

  GtkWidget* area_;
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

}  // namespace tavelo::gtkport
