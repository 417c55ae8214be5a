#include "staging/ItemLists.h"

#include "localdb/RecordSet.h"
#include "tally/XmlBuilders.h"

namespace quibo {

void AppendItemFields(VoucherBuild& build, XmlNode item, const RecordSet& rows, int row,
                      bool withLastDeemedPositive) {
    AppendFields(build, item, rows, row,
                 {{u"STOCKITEMNAME", u"StockItemName_"}, {u"ISDEEMEDPOSITIVE", u"IsDeemedPositive_"}});
    if (withLastDeemedPositive)
        AppendField(build, item, QStringLiteral("ISLASTDEEMEDPOSITIVE"), rows, row, u"IsDeemedPositive_");
    AppendFields(build, item, rows, row,
                 {{u"ISAUTONEGATE", u"IsAutoNigate_"},
                  {u"RATE", u"Rate_"},
                  {u"AMOUNT", u"Amount_"},
                  {u"ACTUALQTY", u"ActualQty_"},
                  {u"BILLEDQTY", u"BilledQty_"}});
}

void AppendUserDescriptions(VoucherBuild& build, XmlNode item, const QVariant& itemId) {
    const RecordSet descriptions = StagedRows(build, QStringLiteral("BASICUSERDESCRIPTION"),
                                              QStringLiteral("BUDID"), QStringLiteral("FK_InEID"), itemId);
    for (int row = 0; row < descriptions.rowCount(); ++row) {
        const XmlNode list = AppendElement(build, item, QStringLiteral("BASICUSERDESCRIPTION.LIST"));
        const QString text = FieldText(descriptions, row, u"BasicDescription_");
        for (const QString& piece : text.split(QLatin1Char('#'), Qt::SkipEmptyParts))
            AppendXmlElementIfValue(build.errors, build.doc, list, QStringLiteral("BASICUSERDESCRIPTION"),
                                    piece);
    }
}

void AppendBatchAllocations(VoucherBuild& build, XmlNode item, const QVariant& itemId, BatchForm form) {
    const RecordSet batches = StagedRows(build, QStringLiteral("BatchAllocation"),
                                         QStringLiteral("val(BaAID)"), QStringLiteral("FK_InEID"), itemId);
    const bool invoice = form == BatchForm::Invoice;
    for (int row = 0; row < batches.rowCount(); ++row) {
        const XmlNode batch = AppendElement(build, item, QStringLiteral("BATCHALLOCATIONS.LIST"));
        AppendFields(build, batch, batches, row,
                     {{u"MFDON", u"MFDOn_"}, {u"GODOWNNAME", u"GodownName_"}, {u"BATCHNAME", u"BatchName_"}});
        if (!invoice)
            AppendField(build, batch, QStringLiteral("DESTINATIONGODOWNNAME"), batches, row,
                        u"DestinationGodownName_");
        AppendFields(build, batch, batches, row,
                     {{u"INDENTNO", u"IndentNo_"},
                      {u"ORDERNO", u"OrderNo_"},
                      {u"TRACKINGNUMBER", u"TrackingNo_"},
                      {u"AMOUNT", u"Amount_"},
                      {u"ACTUALQTY", u"ActualQty_"}});
        if (form == BatchForm::PhysicalStock) {
            AppendField(build, batch, QStringLiteral("BATCHPHYSDIFF"), batches, row, u"ActualQty_");
            AppendElement(build, batch, QStringLiteral("DYNAMICCSTISCLEARED"), QStringLiteral("No"));
        }
        AppendField(build, batch, QStringLiteral("BILLEDQTY"), batches, row, u"BilledQty_");
        if (invoice)
            AppendField(build, batch, QStringLiteral("DESTINATIONGODOWNNAME"), batches, row,
                        u"DestinationGodownName_");
        AppendFields(build, batch, batches, row,
                     {{u"ORDERDUEDATE", u"OrderDueDate_"}, {u"EXPIRYPERIOD", u"ExpiryPeriod_"}});
    }
}

} // namespace quibo
