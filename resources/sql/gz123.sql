-- Height-standard-weight tables: for each whole centimetre of height s, four ascending
-- weight bounds in kilograms: malnourished < z1 <= low weight < z2 <= normal < z3
-- <= overweight < z4 <= obese.
CREATE TABLE gz123_m (
  s  integer NOT NULL PRIMARY KEY,
  z1 numeric(5,1) NOT NULL,
  z2 numeric(5,1) NOT NULL,
  z3 numeric(5,1) NOT NULL,
  z4 numeric(5,1) NOT NULL
);

CREATE TABLE gz123_w (
  s  integer NOT NULL PRIMARY KEY,
  z1 numeric(5,1) NOT NULL,
  z2 numeric(5,1) NOT NULL,
  z3 numeric(5,1) NOT NULL,
  z4 numeric(5,1) NOT NULL
);
