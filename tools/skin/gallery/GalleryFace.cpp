#include "GalleryFace.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>

#include "skin/SkinButton.h"
#include "skin/SkinSlider.h"
#include "skin/layout/SkinStyle.h"

namespace orvel::gallery {

namespace {

using skin::AreaId;
using skin::FontRole;
namespace palette = skin::palette;

QColor colour(skin::Rgb c) {
    return skin::SkinStyle::colour(c);
}

void text(QPainter& p, const QRect& r, FontRole role, const QColor& c, int flags,
          const QString& s) {
    p.save();
    p.setFont(skin::SkinStyle::font(role));
    p.setPen(c);
    p.drawText(r, flags | Qt::TextSingleLine, s);
    p.restore();
}

void setLatched(SkinFace& face, std::initializer_list<int> ids) {
    for (int id : ids) {
        if (SkinButton* b = face.button(id)) {
            b->setLatched(true);
        }
    }
}

void setEdit(SkinFace& face, int id, const QString& s) {
    if (QLineEdit* e = face.edit(id)) {
        e->setText(s);
        e->setCursorPosition(0);
    }
}

void setSlider(SkinFace& face, skin::SliderId id, int value) {
    if (SkinSlider* s = face.slider(id)) {
        s->setValue(value);
    }
}

}  // namespace

QStringList GalleryFace::variants() {
    return {"schedule"};
}

GalleryFace* GalleryFace::make(const QString& variant) {
    const QString key = variant.section('-', 0, 0);
    const skin::FaceSpec* spec = skin::SkinLayout::faceByKey(key.toStdString());
    if (!spec || !variants().contains(variant)) {
        return nullptr;
    }
    return new GalleryFace(spec->id, variant);
}

GalleryFace::GalleryFace(skin::FaceId face, const QString& variant)
    : SkinFace(face), m_variant(variant) {
    stage();
}

void GalleryFace::stage() {
    using skin::SliderId;
    switch (spec().id) {
        case skin::FaceId::Schedule: {
            setLatched(*this, {1112, 1088, 1092, 1104});
            const QString times[] = {"08", "30", "00", "09", "45", "00"};
            const int fields[] = {1106, 1107, 1108, 1109, 1110, 1111};
            for (int i = 0; i < 6; ++i) {
                setEdit(*this, fields[i], times[i]);
            }
            setEdit(*this, 1153, "https://radio.example.org/stream");
            setEdit(*this, 1154, "10");
            setSlider(*this, SliderId::StartHour, 8);
            setSlider(*this, SliderId::StartMinute, 30);
            setSlider(*this, SliderId::EndHour, 9);
            setSlider(*this, SliderId::EndMinute, 45);
            if (auto* list = qobject_cast<QListWidget*>(control(1101))) {
                list->addItems({"08:30:00 - 09:45:00|Mon,Fri",
                                "12:00:00 - 12:30:00||https://radio.example.org/stream|10",
                                "18:00:00 - 19:00:00|6/21/2025"});
            }
            if (auto* date = qobject_cast<QDateEdit*>(control(1075))) {
                date->setDate(QDate(2025, 6, 21));
            }
            break;
        }
        default:
            break;
    }
}

void GalleryFace::paintContents(QPainter& p) {
    if (spec().id == skin::FaceId::Schedule) {
        const QRect day = areaRect(AreaId::DayField);
        p.fillRect(day, colour(palette::kDayField));
        text(p, day.adjusted(3, 0, 0, 0), FontRole::Small, Qt::black,
             Qt::AlignLeft | Qt::AlignVCenter, "Mon,Fri");
    }
}

}  // namespace orvel::gallery
