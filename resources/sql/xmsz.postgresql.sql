-- Settings of the optional test items, one row per senior grade (nj = 31, 32, 33).
-- xm_t_w is varchar here: a char(50) column would come back padded with blanks.
CREATE TABLE xmsz (
  nj      char(2) NOT NULL PRIMARY KEY,
  xm_z_m  char(1),
  xm_5_m  char(1),
  xm_l_m  char(1),
  xm_t_m  char(1),
  xm_58_m char(1),
  xm_w_m  char(1),
  xm_1_m  char(1),
  xm_8_w  char(1),
  xm_z_w  char(1),
  xm_5_w  char(1),
  xm_l_w  char(1),
  xm_t_w  varchar(50),
  xm_58_w char(1),
  xm_w_w  char(1),
  xm_y_w  char(1)
);
