#pragma once

// Reference lists and citizens shared by the tests of the outputs.

#include "citizens/CitizenStore.h"
#include "dictionaries/ReferenceLists.h"

inline dictionaries::ReferenceLists SampleLists() {
    using dictionaries::ComboItem;
    dictionaries::ReferenceLists lists;
    lists.allCountries = {{"Узбекистан", ComboItem(860)}, {"Китай", ComboItem(156)}};
    lists.visaFreeCountries = {lists.allCountries.first()};
    lists.professions = {{"Каменщик", ComboItem(10)},
                         {"Облицовщик-плиточник", ComboItem(11)},
                         // 45 characters.
                         {"Машинист крана автомобильного и гусеничного х", ComboItem(12)}};
    lists.genitiveProfessions = {{"каменщика", ComboItem(10)}};
    lists.professionPrefixes = {
        {"Помощник", ComboItem(1, 1)}, {"Старший", ComboItem(2, 0)}, {"Стажер", ComboItem(3, 7)}};
    lists.territories = {{"Москва", ComboItem(77)}, {"Московская область", ComboItem(50)}};
    lists.regions = {{"Москва", ComboItem(77)}};
    lists.districts = {{"Центральный", ComboItem(5, 77)}};
    return lists;
}

// A visa-free citizen with every field the outputs use filled.
inline citizens::IGFormData SampleCitizen() {
    citizens::IGFormData c;
    c.profession = 10;
    c.surname = "Рахимов";
    c.givenName = "Алишер";
    c.patronymic = "Бахтиярович";
    c.passportSeries = "AA";
    c.passportNumber = "0123456";
    c.passportIssueDate = "05/03/2005";
    c.birthDate = "05/03/1980";
    c.citizenship = 860;
    c.sex = 1;
    c.visaRegime = 0;
    c.workFrom = "01/02/2009";
    c.workTo = "31/12/2009";
    c.fillingDate = "15/01/2009";
    c.permanentAddress = "г. Ташкент, ул. Навои, д. 1";
    return c;
}

// The same citizen as a visa citizen under a permit, with the organisation's data.
inline citizens::IGFormData SampleVisaCitizen() {
    citizens::IGFormData c = SampleCitizen();
    c.surname = "Ли";
    c.givenName = "Мин";
    c.patronymic = "";
    c.citizenship = 156;
    c.sex = 0;
    c.visaRegime = 1;
    c.permitNumber = "77001234";
    c.orgName = "ООО \"Восток\"";
    c.orgLegalAddress = "125009, г. Москва, ул. Тверская, д. 1";
    c.orgOgrn = "1027700132195";
    c.orgRegistrationDate = "12/03/1999";
    c.permanentAddress = "";
    return c;
}
